#include "console/featurewindows.h"

#include "archive/studentarchiveform.h"
#include "comments/commentwriterform.h"
#include "common/singlewindow.h"
#include "plans/plansummaryform.h"
#include "scores/scorequeryform.h"
#include "settings/classsettingsform.h"

namespace velmora {

void openClassSettings() {
    showSingle<settings::ClassSettingsForm>();
}

void openStudentArchive() {
    showSingle<archive::StudentArchiveForm>();
}

void openCommentWriter() {
    showSingle<comments::CommentWriterForm>();
}

void openPlansAndSummaries() {
    showSingle<plans::PlanSummaryForm>();
}

void openScoreQuery() {
    showSingle<scores::ScoreQueryForm>();
}

}  // namespace velmora
