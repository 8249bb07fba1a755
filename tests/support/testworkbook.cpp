#include "testworkbook.h"

#include "memoryhost.h"
#include "workbook/connection.h"
#include "workbook/layout.h"

namespace velmora::test {

using namespace velmora::layout;

TestWorkbook::TestWorkbook()
    : inner_(std::make_shared<MemoryHost>(
          QStringList{kSettingsSheet, kArchiveSheet, kScoresSheet, kCommentsSheet, kListsSheet,
                      kRatesSheet, kHandbookSheet, kRecordCardSheet, kNotebookSheet})) {
    auto counting = std::make_unique<CountingHost>(inner_);
    counting_ = counting.get();
    StudentWorkbook::adopt(std::move(counting));
}

TestWorkbook::~TestWorkbook() {
    // Only the fixture's own connection: a later fixture may have replaced it.
    if (StudentWorkbook::isOpen() && &StudentWorkbook::ExcelApp() == counting_)
        StudentWorkbook::close();
}

void TestWorkbook::put(const QString& sheet, const QString& address, const QString& text) {
    inner_->writeRaw(sheet, address, text);
}

QString TestWorkbook::cell(const QString& sheet, const QString& address) const {
    return inner_->read(sheet, address).toText();
}

}  // namespace velmora::test
