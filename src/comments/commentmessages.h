#pragma once

#include <QString>

// What the comment writer says (title "Velmoravm2.1").
namespace velmora::comments {

inline const QString kNotWritten = QStringLiteral("该生评语没书写!不能保存!");
inline const QString kNotWrittenYet = QStringLiteral("该生评语还没书写!");
inline const QString kChooseType = QStringLiteral("请先在类型中选择评语类型！！");
inline const QString kLoadFirst = QStringLiteral("请先调入评语");
// The grade type before one is chosen.
inline const QString kNoType = QStringLiteral("类型");

}  // namespace velmora::comments
