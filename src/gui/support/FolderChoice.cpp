#include "gui/support/FolderChoice.h"

#include <QFileDialog>

std::filesystem::path ChooseFolder(QWidget* parent, const char* name, const char* title,
                                   const std::string& start, const char* shownFiles) {
    QFileDialog dialog(parent, QString::fromUtf8(title));
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setFileMode(QFileDialog::Directory);
    if (shownFiles)
        dialog.setNameFilter(QString::fromUtf8(shownFiles));
    else
        dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setDirectory(QString::fromStdString(start));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first().toStdString();
}
