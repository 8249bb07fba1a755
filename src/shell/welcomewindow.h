#pragma once

#include "workbook/spreadsheethost.h"

#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class Form4;
}

namespace velmora {

// The welcome window Form4, the first window of the run. 确    定 opens the
// class workbook in a new host, makes it visible, puts up the launcher and
// closes the welcome window. If the workbook cannot be opened the teacher is
// told why and the welcome window stays.
class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    // Makes the spreadsheet host that will hold the workbook.
    using HostFactory = std::function<std::unique_ptr<SpreadsheetHost>()>;

    WelcomeWindow(HostFactory makeHost, QString workbookPath, QWidget* parent = nullptr);
    ~WelcomeWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void openWorkbook();  // 确    定
    void openHomePage();  // Label1
    void writeEmail();    // Label6
    void reportStartFailure(const QString& reason);

    std::unique_ptr<Ui::Form4> ui;
    HostFactory makeHost_;
    QString workbookPath_;
};

}  // namespace velmora
