#include "testedhost.h"
#include "workbook/embedded/embeddedhost.h"

namespace velmora::test {

HostKind hostUnderTest() {
    return {QStringLiteral("embedded"), [] { return QString(); },
            [] { return std::make_unique<Tested<EmbeddedHost>>(); }, [] { return QStringList(); }};
}

}  // namespace velmora::test
