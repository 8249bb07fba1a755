#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class UserForm2;
}

namespace velmora::settings {

// "设置": school, term, class, teacher and thirteen subjects with their full
// scores. The boxes always open with their default texts; "确定" writes all
// thirty of them to the fixed cells of the sheet "设置".
class ClassSettingsForm : public QWidget {
    Q_OBJECT
public:
    explicit ClassSettingsForm(QWidget* parent = nullptr);
    ~ClassSettingsForm() override;

private:
    void storeSettings();

    std::unique_ptr<Ui::UserForm2> ui;
};

}  // namespace velmora::settings
