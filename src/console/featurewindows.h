#pragma once

namespace velmora {

// The five feature windows, each opened single-instance (created when absent,
// then shown). The console, the launcher and its menus open them through here.
void openClassSettings();
void openStudentArchive();
void openCommentWriter();
void openPlansAndSummaries();
void openScoreQuery();

}  // namespace velmora
