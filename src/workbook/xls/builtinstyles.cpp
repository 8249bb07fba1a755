#include "workbook/xls/builtinstyles.h"

#include "workbook/xls/styles.h"

#include <QHash>

namespace velmora::xls {

const std::vector<quint32>& defaultPalette() {
    static const std::vector<quint32> colours = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
    };
    return colours;
}

// The built-in formats are not stored in the file; these are the codes the
// Chinese versions of the spreadsheet programs show for them (27-36 and
// 50-58 exist in the East Asian versions only).
QString builtInFormatCode(int index) {
    static const QHash<int, QString> codes = {
        {0, "General"},
        {1, "0"},
        {2, "0.00"},
        {3, "#,##0"},
        {4, "#,##0.00"},
        {5, "\"¥\"#,##0;\"¥\"\\-#,##0"},
        {6, "\"¥\"#,##0;[Red]\"¥\"\\-#,##0"},
        {7, "\"¥\"#,##0.00;\"¥\"\\-#,##0.00"},
        {8, "\"¥\"#,##0.00;[Red]\"¥\"\\-#,##0.00"},
        {9, "0%"},
        {10, "0.00%"},
        {11, "0.00E+00"},
        {12, "# ?/?"},
        {13, "# ?\?/??"},
        {14, "yyyy/m/d"},
        {15, "d-mmm-yy"},
        {16, "d-mmm"},
        {17, "mmm-yy"},
        {18, "h:mm AM/PM"},
        {19, "h:mm:ss AM/PM"},
        {20, "h:mm"},
        {21, "h:mm:ss"},
        {22, "yyyy/m/d h:mm"},
        {27, "yyyy\"年\"m\"月\""},
        {28, "m\"月\"d\"日\""},
        {29, "m\"月\"d\"日\""},
        {30, "m-d-yy"},
        {31, "yyyy\"年\"m\"月\"d\"日\""},
        {32, "h\"时\"mm\"分\""},
        {33, "h\"时\"mm\"分\"ss\"秒\""},
        {34, "上午/下午h\"时\"mm\"分\""},
        {35, "上午/下午h\"时\"mm\"分\"ss\"秒\""},
        {36, "yyyy\"年\"m\"月\""},
        {37, "#,##0;(#,##0)"},
        {38, "#,##0;[Red](#,##0)"},
        {39, "#,##0.00;(#,##0.00)"},
        {40, "#,##0.00;[Red](#,##0.00)"},
        {41, "_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)"},
        {42, "_(\"¥\"* #,##0_);_(\"¥\"* (#,##0);_(\"¥\"* \"-\"_);_(@_)"},
        {43, "_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"??_);_(@_)"},
        {44, "_(\"¥\"* #,##0.00_);_(\"¥\"* (#,##0.00);_(\"¥\"* \"-\"??_);_(@_)"},
        {45, "mm:ss"},
        {46, "[h]:mm:ss"},
        {47, "mm:ss.0"},
        {48, "##0.0E+0"},
        {49, "@"},
        {50, "yyyy\"年\"m\"月\""},
        {51, "m\"月\"d\"日\""},
        {52, "yyyy\"年\"m\"月\""},
        {53, "m\"月\"d\"日\""},
        {54, "m\"月\"d\"日\""},
        {55, "上午/下午h\"时\"mm\"分\""},
        {56, "上午/下午h\"时\"mm\"分\"ss\"秒\""},
        {57, "yyyy\"年\"m\"月\""},
        {58, "m\"月\"d\"日\""},
    };
    return codes.value(index, QStringLiteral("General"));
}

}  // namespace velmora::xls
