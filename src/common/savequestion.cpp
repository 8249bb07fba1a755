#include "common/savequestion.h"

#include "common/messages.h"

#include <QMessageBox>
#include <QPushButton>
#include <memory>

namespace velmora {

namespace {
QuestionAnswerer* answerer = nullptr;
}  // namespace

// 取消 is the escape button, so Esc and the box's close button (which
// QMessageBox turns into a click on it) both mean going back.
QMessageBox* saveQuestionBox(QWidget* parent, const QString& text, const QString& save,
                             const QString& discard) {
    auto* box = new QMessageBox(QMessageBox::Question, kNoticeTitle, text, QMessageBox::NoButton,
                                parent);
    box->setDefaultButton(box->addButton(save, QMessageBox::AcceptRole));
    box->addButton(discard, QMessageBox::DestructiveRole);
    box->setEscapeButton(box->addButton(QStringLiteral("取消"), QMessageBox::RejectRole));
    return box;
}

SaveAnswer answerOf(QMessageBox& box) {
    switch (box.buttonRole(box.clickedButton())) {
        case QMessageBox::AcceptRole:
            return SaveAnswer::Save;
        case QMessageBox::DestructiveRole:
            return SaveAnswer::Discard;
        default:
            return SaveAnswer::Cancel;
    }
}

QuestionAnswerer::QuestionAnswerer(SaveAnswer answer) : answer_(answer) {
    answerer = this;
}

QuestionAnswerer::~QuestionAnswerer() {
    if (answerer == this)
        answerer = nullptr;
}

SaveAnswer ask(QWidget* parent, const QString& text, const QString& save, const QString& discard) {
    if (answerer) {
        answerer->asked_ << text;
        return answerer->answer_;
    }
    const std::unique_ptr<QMessageBox> box(saveQuestionBox(parent, text, save, discard));
    box->exec();
    return answerOf(*box);
}

SaveAnswer askToSaveChanges(QWidget* parent, const QString& fileName) {
    return ask(parent,
               QStringLiteral("工作簿“%1”中有尚未保存的修改。\n退出前要保存这些修改吗？")
                   .arg(fileName),
               QStringLiteral("保存"), QStringLiteral("不保存"));
}

SaveAnswer askToStoreEdits(QWidget* window) {
    return ask(window,
               QStringLiteral("“%1”中有尚未存入的内容。\n关闭前要存入吗？")
                   .arg(window->windowTitle()),
               QStringLiteral("存入"), QStringLiteral("不存入"));
}

}  // namespace velmora
