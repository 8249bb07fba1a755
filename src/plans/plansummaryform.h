#pragma once

#include "common/numberstepper.h"
#include "common/rowbinding.h"

#include <QWidget>
#include <memory>

namespace Ui {
class PlanSummaryForm;
}

namespace velmora::plans {

// "计划与总结": numbered entries of the work plan (column AJ of "Sheet1") and
// the work summary (column AU), entry n in row n + 1, on two tab pages.
class PlanSummaryForm : public QWidget {
    Q_OBJECT
public:
    explicit PlanSummaryForm(QWidget* parent = nullptr);
    ~PlanSummaryForm() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool storeEntry();  // and save the workbook; false when refused
    void copySelections();
    // The first mouse movement over either box reloads the entry, unless
    // either box has been edited since it was loaded.
    void refreshOnce();

    // Both boxes := the entry's plan and summary; the number box := number.
    void showEntry(int number);

    std::unique_ptr<Ui::PlanSummaryForm> ui;
    NumberStepper number_;
    RowBinding entry_;  // plan, summary
    bool refreshed_ = false;
};

}  // namespace velmora::plans
