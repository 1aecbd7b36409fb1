#include "TFakeTdsServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <cstdint>
#include <stdexcept>

namespace {

enum PacketType : uint8_t { Batch = 1, Rpc = 3, Reply = 4, Attention = 6, Login7 = 16, Prelogin = 18 };

bool readAll(int socket, char* buffer, size_t size) {
    while (size > 0) {
        pollfd p{socket, POLLIN, 0};
        if (poll(&p, 1, 12000) <= 0) // a client that waits longer has no time-out of its own
            return false;
        const ssize_t n = recv(socket, buffer, size, 0);
        if (n <= 0)
            return false;
        buffer += n;
        size -= size_t(n);
    }
    return true;
}

// One TDS packet: its type and its data after the eight-byte header.
bool readPacket(int socket, uint8_t& type, QByteArray& data) {
    char header[8];
    if (!readAll(socket, header, 8))
        return false;
    type = uint8_t(header[0]);
    const int length = (uint8_t(header[2]) << 8) | uint8_t(header[3]);
    data.resize(length - 8);
    return readAll(socket, data.data(), size_t(data.size()));
}

void sendPacket(int socket, const QByteArray& payload) {
    QByteArray packet;
    const int length = payload.size() + 8;
    packet.append(char(Reply)).append(char(1)).append(char(length >> 8)).append(char(length & 0xff));
    packet.append(QByteArray("\0\0\1\0", 4)).append(payload);
    send(socket, packet.constData(), size_t(packet.size()), MSG_NOSIGNAL);
}

QByteArray le16(int v) {
    return QByteArray(1, char(v & 0xff)) + char((v >> 8) & 0xff);
}

QByteArray done(int status) {
    return QByteArray(1, char(0xfd)) + le16(status) + le16(0) + QByteArray(8, '\0');
}

int le16At(const QByteArray& data, int at) {
    return uint8_t(data[at]) | (uint8_t(data[at + 1]) << 8);
}

// A text of the login packet: its offset and length in characters stand in the fixed part.
QByteArray loginField(const QByteArray& data, int index) {
    const int offset = le16At(data, 36 + 4 * index);
    const int length = le16At(data, 38 + 4 * index);
    return data.mid(offset, 2 * length);
}

QString utf16(const QByteArray& bytes) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2);
}

} // namespace

TFakeTdsServer::TFakeTdsServer(bool acceptLogin) : m_acceptLogin(acceptLogin) {
    m_listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(m_listener, 1) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no listening socket for the fake server");
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { serve(); });
}

TFakeTdsServer::~TFakeTdsServer() {
    shutdown(m_listener, SHUT_RDWR);
    close(m_listener);
    m_thread.join();
}

TFakeTdsServer::Login TFakeTdsServer::login() const {
    std::lock_guard lock(m_mutex);
    return m_login;
}

void TFakeTdsServer::serve() {
    pollfd p{m_listener, POLLIN, 0};
    if (poll(&p, 1, 30000) <= 0)
        return;
    const int client = accept(m_listener, nullptr, nullptr);
    if (client < 0)
        return;
    answer(client);
    close(client);
}

void TFakeTdsServer::answer(int client) {
    uint8_t type = 0;
    QByteArray data;
    if (!readPacket(client, type, data) || type != Prelogin)
        return;
    // Version 15.0, encryption not supported.
    sendPacket(client,
               QByteArray("\x00\x00\x0b\x00\x06\x01\x00\x11\x00\x01\xff\x0f\x00\x00\x00\x00\x00\x02", 18));
    if (!readPacket(client, type, data) || type != Login7)
        return;
    QByteArray password = loginField(data, 2);
    for (char& c : password) { // the login packet swaps the halves of each byte and XORs 0xA5
        const auto b = uint8_t(uint8_t(c) ^ 0xa5);
        c = char(uint8_t((b >> 4) | (b << 4)));
    }
    {
        std::lock_guard lock(m_mutex);
        m_login = {utf16(loginField(data, 1)), utf16(password), utf16(loginField(data, 8))};
    }
    if (!m_acceptLogin)
        return;
    const QByteArray program = QStringLiteral("fake").toUtf8();
    QByteArray ack = QByteArray("\x01\x74\x00\x00\x04", 5) + char(4);
    for (char c : program)
        ack.append(c).append('\0');
    ack.append(QByteArray("\x0f\x00\x00\x00", 4));
    sendPacket(client, QByteArray(1, char(0xad)) + le16(ack.size()) + ack + done(0));
    // The statement's text travels as UTF-16 in a batch or as a parameter of a prepared call.
    const QString waitForText = QStringLiteral("WAITFOR");
    const QByteArray waitFor(reinterpret_cast<const char*>(waitForText.utf16()), waitForText.size() * 2);
    while (readPacket(client, type, data)) {
        if (type == Attention) {
            m_cancelled = true;
            sendPacket(client, done(0x20));
        } else if ((type == Batch || type == Rpc) && data.contains(waitFor)) {
            continue; // left unanswered
        } else {
            sendPacket(client, done(0));
        }
    }
}
