#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ks {

// Asks for a specification's name and file before it is saved.
class TfrmSaveSpec : public QDialog {
    Q_OBJECT
public:
    TfrmSaveSpec(const QString& name, const QString& fileName, QWidget* parent = nullptr);

    QString specificationName() const;
    QString fileName() const;

    // Shows the dialog; true (with the edited values) on OK.
    static bool ask(QString& name, QString& fileName);
    // Makes TImportBase::saveSpecification(..., ask = true) use this dialog.
    static void install();

private:
    void btnBrowseClick();

    QLineEdit* m_name;
    QLineEdit* m_file;
};

} // namespace ks
