#pragma once

#include <QString>
#include <QStringList>

// The program's name, who made it and how to reach them: the lines of the
// welcome window, the About message, velmora --version and the two link targets.
namespace velmora::maker {

inline const QString kProgramName = QStringLiteral("《Velmora》班主任工作助手 vm2.1");
inline const QString kCredit = QStringLiteral("Velmora 开发组  设计制作");
inline const QString kTelephoneLine = QStringLiteral("联系电话：0000-12345678");
inline const QString kEmailLine = QStringLiteral("信箱：vm@example.com");
inline const QString kEmailLink = QStringLiteral("mailto:vm@example.com");
inline const QString kHomePageLine = QStringLiteral("主页：www.example.com/velmora");
inline const QString kHomePageLink = QStringLiteral("https://www.example.com/velmora/");

// The About message: its lines with two line feeds between each pair.
inline QString aboutText() {
    return QStringList{kProgramName, kCredit, kTelephoneLine, kEmailLine, kHomePageLine}
        .join(QStringLiteral("\n\n"));
}

}  // namespace velmora::maker
