#include "common/savequestion.h"

#include "common/messages.h"

#include <QMessageBox>
#include <QPushButton>

namespace velmora {

bool askToSaveChanges(QWidget* parent, const QString& fileName) {
    QMessageBox box(
        QMessageBox::Question, kNoticeTitle,
        QStringLiteral("工作簿“%1”中有尚未保存的修改。\n退出前要保存这些修改吗？").arg(fileName),
        QMessageBox::NoButton, parent);
    QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
    box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
    box.setDefaultButton(save);
    box.setEscapeButton(save);
    box.exec();
    return box.clickedButton() == nullptr || box.clickedButton() == save;
}

}  // namespace velmora
