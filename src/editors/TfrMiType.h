#pragma once

#include "TFrExtraAbstract.h"
#include "TMemoryData.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class TDBGrid;
class TFormCodiff;
class TFormGosReestr;
class TTitleSort;
class TfrATypes;

// "Группы и типы": an instrument type with its form type, its binding to a device type of the
// central register (search, bind, unbind, edit the bound record as a local one) and its documents.
class TfrMiType : public TFrExtraAbstract {
    Q_OBJECT

public:
    // DT_ID of a type that is not a measuring instrument.
    static constexpr qint32 NOT_SI_MARKER = -2147483647;

    TfrMiType(TfrATypes& chooser, TFormGosReestr& gosReestr, TFormCodiff& codiff, QWidget* parent = nullptr);
    ~TfrMiType() override;

    void LoadRecord(TMemoryData& record, bool firstShow) override;
    bool BeforeSave(TATreeDataCollectionItem* nodeData) override;
    bool AfterSave(TATreeDataCollectionItem* nodeData) override;

    QLineEdit* DBEdit1; // sname
    QLineEdit* DBEdit2; // fname
    QLineEdit* DBEdit3; // code
    QComboBox* DBLookupComboBox1;
    QCheckBox* NotSI;
    QPushButton* btnPassports;
    QGroupBox* GroupBox2;
    QTreeWidget* lvLink;
    QPushButton* btnUnLink;
    QPushButton* btnNewDT;
    QGroupBox* GroupBox1;
    QComboBox* ComboBox1;
    QLineEdit* edtFilterName;
    QComboBox* ComboBox2;
    QLineEdit* edtFilterType;
    QComboBox* ComboBox4;
    QLineEdit* edtFilterMark;
    QComboBox* cbGOS_NO;
    QLineEdit* edtFilterGOS_NO;
    QComboBox* ComboBox3;
    QPushButton* btnFind;
    TDBGrid* GosReestrGrid;
    QPushButton* btnLink;
    QPushButton* btnnfo;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    TMemoryData FFormTypes;
    TMemoryData FSearchResults;
    TMemoryData FDeviceType;
    bool FLinkIsLocal = true;
    std::unique_ptr<TTitleSort> FSort;

    void btnFindClick();
    void btnLinkClick();
    void btnUnLinkClick();
    void btnNewDTClick();
    void btninfoClick();

private:
    void btnOkClick();
    void NotSIClick();
    void btnPassportsClick();
    void CountDocuments();
    void LoadBinding();
    void showLink(TMemoryData& source);
    void clearLink();
    void setGroupsVisible();
    void enableSearchButtons();
    QString filterPart(const QComboBox& mode, const QLineEdit& text, const char* column) const;
    // The boxes stand for the record's fields: what is typed goes into the record before anything
    // reads or changes it, and they show the record again afterwards.
    bool pull();
    void showRecord();

    TfrATypes& m_chooser;
    TFormGosReestr& m_gosReestr;
    TFormCodiff& m_codiff;
    TMemoryData* FRecord = nullptr;
    qint32 FTypeId = 0;
};
