#pragma once

#include <QDialog>
#include <QStringList>
#include <QVector>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace ks {

class Cursor;
class TfrmGlobal;

// "Add/Edit Entry": every input is bound to a field of the main cursor's current record, which the
// caller has put into editing or inserting state before showing the dialog. The dialog stores or
// discards that record; it never moves the cursor to another one except for "&New".
class TKestrumEditForm : public QDialog {
    Q_OBJECT
public:
    enum class Confirm { Saved, Discarded, Cancelled };

    explicit TKestrumEditForm(TfrmGlobal& data, QWidget* parent = nullptr);
    ~TKestrumEditForm() override;

    // The state box list: United States codes, an empty separator, Canadian provinces.
    static const QStringList& stateCodes();

    bool EntryChanged() const { return m_entryChanged; }
    bool lastSaveSucceeded() const { return m_lastSaveOk; }

    void TakeFieldSnapshot();
    void FillCategoryChoices();
    void ShowPersonalLabels();
    void ShowBusinessLabels();
    Confirm ConfirmUnsavedChanges();

    void btnSaveClick();
    void btnNewClick();
    void btnExitClick();

    static QString duplicateKeyMessage();
    static QString unsavedQuestion();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // the title bar's close button: discard without asking
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Binding {
        QWidget* input;
        QString field;
    };

    Cursor& cursor() const;
    QLineEdit* addLineEdit(const char* name, const QString& field);
    QString inputText(int binding) const;
    void setInputText(int binding, const QString& text);
    void loadFromRecord();
    void inputChanged(int binding);
    void writeField(int binding);
    void setFlagFromSelection(bool asClick);
    void showEntryType();
    void focusButtonBar();
    void discardRecord();

    TfrmGlobal& m_data;
    QVector<Binding> m_bindings;
    QStringList m_snapshot;
    bool m_entryChanged = false;
    bool m_closingByExit = false;
    bool m_lastSaveOk = false;
    bool m_loading = false;
    bool m_notesCrLf = false; // the note came with CR LF line ends; keep them when writing it back

    QGroupBox* grpEntryType = nullptr;
    QRadioButton* rbPersonal = nullptr;
    QRadioButton* rbBusiness = nullptr;
    QComboBox* cmbCategory = nullptr;
    QComboBox* cmbState = nullptr;
    QPlainTextEdit* memNotes = nullptr;
    QLabel* lblLastName = nullptr;
    QLabel* lblFirstName = nullptr;
    QLabel* lblContact = nullptr;
    QLabel* lblHomePhone = nullptr;
    QLabel* lblWorkPhone = nullptr;
    QFrame* pnlButtons = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnNew = nullptr;
    QPushButton* btnExit = nullptr;
};

} // namespace ks
