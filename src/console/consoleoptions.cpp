#include "console/consoleoptions.h"

#include "console/featurewindows.h"
#include "workbook/layout.h"

namespace velmora {

const QList<ConsolePage>& consolePages() {
    using namespace velmora::layout;
    static const QList<ConsolePage> pages = {
        {QStringLiteral("到输入的工作表"),
         {{1, QStringLiteral("到首页"), kSettingsSheet},
          {2, QStringLiteral("输入学生成绩"), kScoresSheet},
          {3, QStringLiteral("输入学生基本情况"), kArchiveSheet},
          {6, QStringLiteral("写评语"), kCommentsSheet}}},
        {QStringLiteral("输出的工作表"),
         {{5, QStringLiteral("各科率"), kRatesSheet},
          {4, QStringLiteral("学生手册"), kHandbookSheet},
          {8, QStringLiteral("班主任工作笔记"), kNotebookSheet},
          {7, QStringLiteral("学籍卡"), kRecordCardSheet}}},
        {QStringLiteral("窗体"),
         {{11, QStringLiteral("设置"), {}, &openClassSettings},
          {10, QStringLiteral("学生情况输入"), {}, &openStudentArchive},
          {9, QStringLiteral("写评语"), {}, &openCommentWriter},
          {12, QStringLiteral("计划与总结"), {}, &openPlansAndSummaries},
          {13, QStringLiteral("查询成绩"), {}, &openScoreQuery}}},
    };
    return pages;
}

}  // namespace velmora
