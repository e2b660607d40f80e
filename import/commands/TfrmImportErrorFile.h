#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

namespace ks {

// "Save Import Errors to File": whether import errors only go to ImportErrors.txt, and where that
// file is.
class TfrmImportErrorFile : public QDialog {
    Q_OBJECT
public:
    explicit TfrmImportErrorFile(QWidget* parent = nullptr);

    // Shows the dialog with the check box on `saveToFile`; returns the check box's state when closed.
    bool Ask(bool saveToFile);
    bool saveToFile() const;
    void setSaveToFile(bool on);

private:
    QCheckBox* m_check = nullptr;
    QLabel* m_folder = nullptr;
};

} // namespace ks
