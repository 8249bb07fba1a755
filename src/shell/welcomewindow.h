#pragma once

#include "workbook/spreadsheethost.h"

#include <QWidget>
#include <functional>
#include <memory>

class QLabel;

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

    void openWorkbook();  // 确    定
    void openHomePage();  // Label1
    void writeEmail();    // Label6

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* addLabel(const char* name, const QString& text, const QRect& geometry);
    void reportStartFailure(const QString& reason);

    HostFactory makeHost_;
    QString workbookPath_;
    QLabel* homePage_;
    QLabel* email_;
};

}  // namespace velmora
