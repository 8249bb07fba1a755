#include "testworkbook.h"

#include "workbook/connection.h"
#include "workbook/embedded/embeddedhost.h"
#include "workbook/templateinstall.h"

namespace velmora::test {

TestWorkbook::TestWorkbook() {
    const QString file = path();
    installTemplateIfMissing(file);
    auto host = std::make_shared<EmbeddedHost>();
    host->setSaveQuestion([] { return SaveAnswer::Discard; });  // a test never waits on a dialog
    host->open(file);
    inner_ = host;
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

QString TestWorkbook::path() const {
    return dir_.filePath(QStringLiteral("Velmoravm2.1.xls"));
}

}  // namespace velmora::test
