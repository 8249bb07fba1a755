#include "console/consoleoptions.h"

#include "console/featurewindows.h"
#include "workbook/layout.h"

namespace velmora {

const QList<ConsoleOption>& consoleOptions() {
    using namespace velmora::layout;
    static const QList<ConsoleOption> options = {
        {1, kSettingsSheet},               // 到首页
        {2, kScoresSheet},                 // 输入学生成绩
        {3, kArchiveSheet},                // 输入学生基本情况
        {4, kHandbookSheet},               // 学生手册
        {5, kRatesSheet},                  // 各科率
        {6, kCommentsSheet},               // 写评语
        {7, kRecordCardSheet},             // 学籍卡
        {8, kNotebookSheet},               // 班主任工作笔记
        {9, {}, &openCommentWriter},       // 写评语
        {10, {}, &openStudentArchive},     // 学生情况输入
        {11, {}, &openClassSettings},      // 设置
        {12, {}, &openPlansAndSummaries},  // 计划与总结
        {13, {}, &openScoreQuery},         // 查询成绩
    };
    return options;
}

}  // namespace velmora
