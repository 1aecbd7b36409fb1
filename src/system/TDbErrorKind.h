#pragma once

// What a server error means to the program, whatever the server's own numbering.
enum class TDbErrorKind { Other, LoginFailed, LockTimeout, IntegrityViolation, PermissionDenied };
