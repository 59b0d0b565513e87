#include "gui/support/FolderChoice.h"

#include <QFileDialog>

std::filesystem::path ChooseFolder(QWidget* parent, const char* name, const std::string& start) {
    QFileDialog dialog(parent);
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(QString::fromStdString(start));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
}
