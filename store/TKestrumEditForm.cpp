#include "store/TKestrumEditForm.h"

#include "common/Prompt.h"
#include "store/ContactSchema.h"
#include "store/TfrmGlobal.h"
#include "store/engine/Cursor.h"
#include "store/engine/EngineError.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QCompleter>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ks {

namespace {

int fieldWidth(const QString& field) {
    for (const FieldDef& f : Contact::fields())
        if (f.name == field)
            return f.size;
    return 0;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// An editable drop-down that keeps exactly what the user types: no completion that changes letter
// case, and Enter does not add the text to the list.
QComboBox* makeEditableCombo(QWidget* parent, const char* name, int maxLength) {
    auto* c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    if (c->completer())
        c->completer()->setCaseSensitivity(Qt::CaseSensitive);
    if (maxLength > 0)
        c->lineEdit()->setMaxLength(maxLength);
    return c;
}

} // namespace

const QStringList& TKestrumEditForm::stateCodes() {
    static const QStringList codes = [] {
        QStringList l;
        for (const char* s : {"AK", "AL", "AZ", "AR", "CA", "CO", "CT", "DC", "DE", "FL", "GA", "HI", "IA",
                              "ID", "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MI", "MN", "MO", "MS",
                              "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV", "NY", "OH", "OK", "OR", "PA",
                              "RI", "SC", "SD", "TN", "TX", "UT", "VA", "VT", "WA", "WI", "WV", "WY", "",
                              "AB", "BC", "MB", "NB", "NF", "NS", "ON", "PE", "PQ", "SK"})
            l << QString::fromLatin1(s);
        return l;
    }();
    return codes;
}

QString TKestrumEditForm::duplicateKeyMessage() {
    return QStringLiteral("You have entered the same Business or Last Name, First Name, and Primary Phone as an "
                          "existing entry.  Please correct this and Save again.");
}

QString TKestrumEditForm::unsavedQuestion() {
    return QStringLiteral("Current record has not been saved.") + QLatin1Char('\r') + QString(18, QLatin1Char(' ')) +
           QStringLiteral("Save now?");
}

TKestrumEditForm::TKestrumEditForm(TfrmGlobal& data, QWidget* parent) : QDialog(parent), m_data(data) {
    setObjectName(QStringLiteral("TKestrumEditForm"));
    setWindowTitle(QStringLiteral("Add/Edit Entry"));
    setModal(true);

    grpEntryType = new QGroupBox(QStringLiteral("Entry Type"), this);
    grpEntryType->setObjectName(QStringLiteral("grpEntryType"));
    rbPersonal = new QRadioButton(QStringLiteral("Personal"), grpEntryType);
    rbPersonal->setObjectName(QStringLiteral("rbPersonal"));
    rbBusiness = new QRadioButton(QStringLiteral("Business"), grpEntryType);
    rbBusiness->setObjectName(QStringLiteral("rbBusiness"));
    auto* typeGroup = new QButtonGroup(this);
    typeGroup->addButton(rbPersonal);
    typeGroup->addButton(rbBusiness);
    auto* typeLayout = new QHBoxLayout(grpEntryType);
    typeLayout->addWidget(rbPersonal);
    typeLayout->addWidget(rbBusiness);
    typeLayout->addStretch(1);
    rbPersonal->installEventFilter(this);
    rbBusiness->installEventFilter(this);
    connect(rbPersonal, &QRadioButton::clicked, this, [this] { setFlagFromSelection(true); });
    connect(rbBusiness, &QRadioButton::clicked, this, [this] { setFlagFromSelection(true); });

    // Inputs in tab order; each one is bound to its field.
    cmbCategory = makeEditableCombo(this, "cmbCategory", fieldWidth(Contact::Category));
    m_bindings << Binding{cmbCategory, Contact::Category};
    QLineEdit* edtLastName = addLineEdit("edtLastName", Contact::LastName);
    QLineEdit* edtFirstName = addLineEdit("edtFirstName", Contact::FirstName);
    QLineEdit* edtContact = addLineEdit("edtContact", Contact::ContactField);
    QLineEdit* edtHomePhone = addLineEdit("edtHomePhone", Contact::HomePhone);
    QLineEdit* edtWorkPhone = addLineEdit("edtWorkPhone", Contact::BusinessPhone);
    QLineEdit* edtFax = addLineEdit("edtFax", Contact::Fax);
    QLineEdit* edtAlternate = addLineEdit("edtAlternate", Contact::AlternatePhone);
    memNotes = new QPlainTextEdit(this);
    memNotes->setObjectName(QStringLiteral("memNotes"));
    memNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memNotes->setTabChangesFocus(true);
    m_bindings << Binding{memNotes, Contact::Notes};
    QLineEdit* edtAddressOne = addLineEdit("edtAddressOne", Contact::AddressOne);
    QLineEdit* edtAddressTwo = addLineEdit("edtAddressTwo", Contact::AddressTwo);
    QLineEdit* edtCity = addLineEdit("edtCity", Contact::City);
    cmbState = makeEditableCombo(this, "cmbState", fieldWidth(Contact::State));
    cmbState->addItems(stateCodes());
    cmbState->setMaxVisibleItems(16);
    m_bindings << Binding{cmbState, Contact::State};
    QLineEdit* edtZip = addLineEdit("edtZip", Contact::Zip);
    QLineEdit* edtCountry = addLineEdit("edtCountry", Contact::Country);
    QLineEdit* edtEmail = addLineEdit("edtEmail", Contact::EMail);
    QLineEdit* edtUser1 = addLineEdit("edtUser1", Contact::User1);
    QLineEdit* edtUser2 = addLineEdit("edtUser2", Contact::User2);
    QLineEdit* edtUser3 = addLineEdit("edtUser3", Contact::User3);

    for (int i = 0; i < m_bindings.size(); ++i) {
        QWidget* w = m_bindings.at(i).input;
        if (auto* e = qobject_cast<QLineEdit*>(w))
            connect(e, &QLineEdit::textChanged, this, [this, i] { inputChanged(i); });
        else if (auto* c = qobject_cast<QComboBox*>(w))
            connect(c, &QComboBox::editTextChanged, this, [this, i] { inputChanged(i); });
        else if (auto* m = qobject_cast<QPlainTextEdit*>(w))
            connect(m, &QPlainTextEdit::textChanged, this, [this, i] { inputChanged(i); });
    }
    m_snapshot.resize(m_bindings.size());

    pnlButtons = new QFrame(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFrameShape(QFrame::StyledPanel);
    pnlButtons->setFocusPolicy(Qt::ClickFocus);
    auto* buttonLayout = new QHBoxLayout(pnlButtons);
    buttonLayout->setContentsMargins(4, 4, 4, 4);
    auto makeButton = [this, buttonLayout](const char* name, const QString& text) {
        auto* b = new QPushButton(text, pnlButtons);
        b->setObjectName(QLatin1String(name));
        b->setFlat(true);
        b->setAutoDefault(false); // Enter in an input must not save or close
        b->setMinimumWidth(90);
        buttonLayout->addWidget(b);
        return b;
    };
    btnSave = makeButton("btnSave", QStringLiteral("&Save"));
    btnNew = makeButton("btnNew", QStringLiteral("&New"));
    btnExit = makeButton("btnExit", QStringLiteral("&Exit"));
    buttonLayout->addStretch(1);
    connect(btnSave, &QPushButton::clicked, this, &TKestrumEditForm::btnSaveClick);
    connect(btnNew, &QPushButton::clicked, this, &TKestrumEditForm::btnNewClick);
    connect(btnExit, &QPushButton::clicked, this, &TKestrumEditForm::btnExitClick);

    // Names and phones on the left, addresses and the rest on the right.
    lblLastName = makeLabel(this, "lblLastName", QString());
    lblFirstName = makeLabel(this, "lblFirstName", QString());
    lblContact = makeLabel(this, "lblContact", QString());
    lblHomePhone = makeLabel(this, "lblHomePhone", QString());
    lblWorkPhone = makeLabel(this, "lblWorkPhone", QString());
    auto* left = new QGridLayout;
    int row = 0;
    left->addWidget(makeLabel(this, "lblCategory", QStringLiteral("Category")), row, 0);
    left->addWidget(cmbCategory, row++, 1);
    left->addWidget(lblLastName, row, 0);
    left->addWidget(edtLastName, row++, 1);
    left->addWidget(lblFirstName, row, 0);
    left->addWidget(edtFirstName, row++, 1);
    left->addWidget(lblContact, row, 0);
    left->addWidget(edtContact, row++, 1);
    left->addWidget(lblHomePhone, row, 0);
    left->addWidget(edtHomePhone, row++, 1);
    left->addWidget(lblWorkPhone, row, 0);
    left->addWidget(edtWorkPhone, row++, 1);
    left->addWidget(makeLabel(this, "lblFax", QStringLiteral("Fax")), row, 0);
    left->addWidget(edtFax, row++, 1);
    left->addWidget(makeLabel(this, "lblAlternate", QStringLiteral("Other")), row, 0);
    left->addWidget(edtAlternate, row++, 1);
    left->addWidget(makeLabel(this, "lblNotes", QStringLiteral("Notes")), row, 0, Qt::AlignTop);
    left->addWidget(memNotes, row++, 1);
    left->setColumnMinimumWidth(1, 260);
    // Room for both sets of captions, so switching the entry type does not resize the dialog.
    int captionWidth = 0;
    for (const char* caption : {"Last Name", "First Name", "Company", "Home", "Work", "Business", "Contact 1",
                                "Contact 2", "Phone", "Data", "Category"})
        captionWidth = qMax(captionWidth, lblLastName->fontMetrics().horizontalAdvance(QLatin1String(caption)));
    left->setColumnMinimumWidth(0, captionWidth + 4);

    auto* right = new QGridLayout;
    row = 0;
    right->addWidget(makeLabel(this, "lblAddress", QStringLiteral("Address")), row, 0);
    right->addWidget(edtAddressOne, row++, 1, 1, 3);
    right->addWidget(edtAddressTwo, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblCity", QStringLiteral("City")), row, 0);
    right->addWidget(edtCity, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblState", QStringLiteral("State")), row, 0);
    right->addWidget(cmbState, row, 1);
    right->addWidget(makeLabel(this, "lblZip", QStringLiteral("Zip Code")), row, 2, Qt::AlignRight);
    right->addWidget(edtZip, row++, 3);
    right->addWidget(makeLabel(this, "lblCountry", QStringLiteral("Country")), row, 0);
    right->addWidget(edtCountry, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblEmail", QStringLiteral("Email")), row, 0);
    right->addWidget(edtEmail, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblUser1", QStringLiteral("Web Site")), row, 0);
    right->addWidget(edtUser1, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblUser2", QStringLiteral("Birthdate")), row, 0);
    right->addWidget(edtUser2, row++, 1, 1, 3);
    right->addWidget(makeLabel(this, "lblUser3", QStringLiteral("Next Meeting")), row, 0);
    right->addWidget(edtUser3, row++, 1, 1, 3);
    right->setRowStretch(row, 1);
    right->setColumnStretch(1, 1);
    right->setColumnStretch(3, 2);
    right->setColumnMinimumWidth(1, 70);
    right->setColumnMinimumWidth(3, 110);

    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addSpacing(12);
    columns->addLayout(right, 1);

    auto* top = new QVBoxLayout(this);
    top->addWidget(grpEntryType);
    top->addLayout(columns);
    top->addWidget(pnlButtons);
    top->setSizeConstraint(QLayout::SetFixedSize); // a dialog border: not resizable

    QWidget* previous = rbBusiness;
    setTabOrder(rbPersonal, rbBusiness);
    for (const Binding& b : std::as_const(m_bindings)) {
        setTabOrder(previous, b.input);
        previous = b.input;
    }
    setTabOrder(previous, btnSave);
    setTabOrder(btnSave, btnNew);
    setTabOrder(btnNew, btnExit);

    ShowPersonalLabels();
}

TKestrumEditForm::~TKestrumEditForm() = default;

Cursor& TKestrumEditForm::cursor() const { return *m_data.tblPhoneBook(); }

QLineEdit* TKestrumEditForm::addLineEdit(const char* name, const QString& field) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    const int width = fieldWidth(field);
    if (width > 0)
        e->setMaxLength(width);
    m_bindings << Binding{e, field};
    return e;
}

QString TKestrumEditForm::inputText(int binding) const {
    QWidget* w = m_bindings.at(binding).input;
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return static_cast<QPlainTextEdit*>(w)->toPlainText();
}

void TKestrumEditForm::setInputText(int binding, const QString& text) {
    QWidget* w = m_bindings.at(binding).input;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(text);
    } else if (auto* c = qobject_cast<QComboBox*>(w)) {
        c->setCurrentIndex(c->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
        c->setEditText(text);
    } else {
        static_cast<QPlainTextEdit*>(w)->setPlainText(text);
    }
}

void TKestrumEditForm::loadFromRecord() {
    const bool wasLoading = m_loading;
    m_loading = true;
    Cursor& c = cursor();
    for (int i = 0; i < m_bindings.size(); ++i) {
        QString text = c.isOpen() ? c.text(m_bindings.at(i).field) : QString();
        if (m_bindings.at(i).input == memNotes) {
            m_notesCrLf = text.contains(QLatin1String("\r\n"));
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        }
        setInputText(i, text);
    }
    m_loading = wasLoading;
}

void TKestrumEditForm::inputChanged(int binding) {
    if (m_loading)
        return;
    if (inputText(binding) != m_snapshot.value(binding))
        m_entryChanged = true;
    writeField(binding);
}

// What the user types is the record's value, as with a data-bound control.
void TKestrumEditForm::writeField(int binding) {
    Cursor& c = cursor();
    if (!c.isOpen() || c.state() == Cursor::State::Browse)
        return;
    const QString& field = m_bindings.at(binding).field;
    QString text = inputText(binding);
    if (m_bindings.at(binding).input == memNotes && m_notesCrLf)
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    try {
        if (c.text(field) != text)
            c.setValue(field, text);
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
    }
}

void TKestrumEditForm::TakeFieldSnapshot() {
    m_entryChanged = false;
    for (int i = 0; i < m_bindings.size(); ++i)
        m_snapshot[i] = inputText(i);
}

void TKestrumEditForm::FillCategoryChoices() {
    const bool wasLoading = m_loading;
    m_loading = true;
    const QString text = cmbCategory->currentText();
    cmbCategory->clear();
    cmbCategory->addItems(m_data.categoryList().mid(1));
    cmbCategory->setCurrentIndex(cmbCategory->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    cmbCategory->setEditText(text);
    m_loading = wasLoading;
}

void TKestrumEditForm::ShowPersonalLabels() {
    lblLastName->setText(QStringLiteral("Last Name"));
    lblFirstName->setText(QStringLiteral("First Name"));
    lblContact->setText(QStringLiteral("Company"));
    lblHomePhone->setText(QStringLiteral("Home"));
    lblWorkPhone->setText(QStringLiteral("Work"));
}

void TKestrumEditForm::ShowBusinessLabels() {
    lblLastName->setText(QStringLiteral("Business"));
    lblFirstName->setText(QStringLiteral("Contact 1"));
    lblContact->setText(QStringLiteral("Contact 2"));
    lblHomePhone->setText(QStringLiteral("Phone"));
    lblWorkPhone->setText(QStringLiteral("Data"));
}

// The flag follows the entry type selection. A click that changes it counts as a change; leaving the
// group only brings the flag in line (a new record gets "N").
void TKestrumEditForm::setFlagFromSelection(bool asClick) {
    const bool business = rbBusiness->isChecked();
    const QString flag = business ? QStringLiteral("Y") : QStringLiteral("N");
    Cursor& c = cursor();
    if (c.isOpen() && c.state() != Cursor::State::Browse) {
        try {
            if (c.text(Contact::BusinessFlag) != flag) {
                c.setValue(Contact::BusinessFlag, flag);
                if (asClick)
                    m_entryChanged = true;
            }
        } catch (const EngineError& e) {
            Prompt::current().error(e.message());
        }
    }
    if (business)
        ShowBusinessLabels();
    else
        ShowPersonalLabels();
}

void TKestrumEditForm::showEntryType() {
    const Cursor& c = cursor();
    const bool business = c.isOpen() && c.text(Contact::BusinessFlag) == QLatin1String("Y");
    (business ? rbBusiness : rbPersonal)->setChecked(true);
    if (business)
        ShowBusinessLabels();
    else
        ShowPersonalLabels();
}

void TKestrumEditForm::focusButtonBar() { pnlButtons->setFocus(Qt::OtherFocusReason); }

void TKestrumEditForm::discardRecord() {
    if (cursor().isOpen())
        cursor().cancel();
}

TKestrumEditForm::Confirm TKestrumEditForm::ConfirmUnsavedChanges() {
    if (!m_entryChanged) {
        discardRecord();
        return Confirm::Discarded;
    }
    switch (Prompt::current().message(unsavedQuestion(), Prompt::Buttons::YesNoCancel, Prompt::Icon::Question)) {
    case Prompt::Answer::Yes:
        btnSaveClick();
        return Confirm::Saved;
    case Prompt::Answer::No:
        discardRecord();
        return Confirm::Discarded;
    default:
        return Confirm::Cancelled;
    }
}

void TKestrumEditForm::btnSaveClick() {
    focusButtonBar();
    Cursor& c = cursor();
    if (!c.isOpen() || c.state() == Cursor::State::Browse || !c.modified())
        return;
    setFlagFromSelection(true);
    m_lastSaveOk = false;
    try {
        c.post();
    } catch (const EngineError& e) {
        // The record keeps its editing state and the user's values, so it can be corrected.
        if (e.code() == EngineCode::DuplicateKey)
            Prompt::current().info(duplicateKeyMessage());
        else
            Prompt::current().error(e.message());
        return;
    }
    try {
        c.edit();
        m_data.BuildCategoryList();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    FillCategoryChoices();
    m_lastSaveOk = true;
    m_data.EditedRowKey = m_data.currentRowKey();
    TakeFieldSnapshot();
}

void TKestrumEditForm::btnNewClick() {
    focusButtonBar();
    m_lastSaveOk = true;
    const Confirm answer = ConfirmUnsavedChanges();
    if (answer == Confirm::Cancelled)
        return;
    // A save that failed keeps the user's record on screen; starting a new one would throw it away.
    if (answer == Confirm::Saved && !m_lastSaveOk)
        return;
    Cursor& c = cursor();
    try {
        if (c.state() != Cursor::State::Browse && !c.modified())
            c.cancel(); // the stored record, reopened after a save
        c.append();
    } catch (const EngineError& e) {
        Prompt::current().error(e.message());
        return;
    }
    rbPersonal->setChecked(true);
    ShowPersonalLabels();
    loadFromRecord();
    TakeFieldSnapshot();
}

void TKestrumEditForm::btnExitClick() {
    focusButtonBar();
    m_lastSaveOk = true;
    const Confirm answer = ConfirmUnsavedChanges();
    if (answer == Confirm::Cancelled || (answer == Confirm::Saved && !m_lastSaveOk))
        return;
    m_closingByExit = true;
    accept();
}

void TKestrumEditForm::showEvent(QShowEvent* event) {
    m_closingByExit = false;
    loadFromRecord();
    TakeFieldSnapshot();
    FillCategoryChoices();
    showEntryType();
    QDialog::showEvent(event);
    (rbBusiness->isChecked() ? rbBusiness : rbPersonal)->setFocus(Qt::OtherFocusReason);
}

void TKestrumEditForm::reject() {
    if (!m_closingByExit)
        discardRecord();
    QDialog::reject();
}

void TKestrumEditForm::keyPressEvent(QKeyEvent* event) {
    // Escape would close the dialog and silently drop the typing; only Exit and the close button close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TKestrumEditForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == rbPersonal || watched == rbBusiness) && event->type() == QEvent::FocusOut) {
        QWidget* next = QApplication::focusWidget();
        if (next != rbPersonal && next != rbBusiness)
            setFlagFromSelection(false);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ks
