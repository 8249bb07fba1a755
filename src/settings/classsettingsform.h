#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

namespace Ui {
class UserForm2;
}

namespace velmora::settings {

// "设置": school, term, class, teacher and thirteen subjects with their full
// scores, in thirty fixed cells of the sheet "设置". The boxes open with the
// cells as they stand (with default texts while none is set); "确定" writes
// what the teacher changed.
class ClassSettingsForm : public QWidget {
    Q_OBJECT
public:
    explicit ClassSettingsForm(QWidget* parent = nullptr);
    ~ClassSettingsForm() override;

private:
    void showSettings();
    void storeSettings();

    std::unique_ptr<Ui::UserForm2> ui;
    // The cells as the boxes showed them at opening (or as 确定 last wrote
    // them), in the order of the boxes.
    QStringList shown_;
};

}  // namespace velmora::settings
