#include "failures.h"

#include "workbook/hosterror.h"
#include "workbook/xls/xlsworkbook.h"

#include <QString>
#include <cstdio>
#include <exception>
#include <new>

namespace velmora::xlstool {

namespace {
int fail(const QString& message) {
    std::fprintf(stderr, "velmora-xls: %s\n", message.toUtf8().constData());
    return 1;
}
}  // namespace

int reportingFailures(const std::function<int()>& command) {
    try {
        return command();
    } catch (const xls::XlsError& e) {
        return fail(e.message());
    } catch (const HostError& e) {
        return fail(e.message());
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("内存不足。"));
    } catch (const std::exception& e) {
        return fail(QString::fromUtf8(e.what()));
    }
}

}  // namespace velmora::xlstool
