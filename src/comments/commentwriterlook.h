#pragma once

class QWidget;

namespace Ui {
class UserForm7;
}

namespace velmora::comments {

// The comment writer's size, control positions, fonts and colours.
void applyCommentWriterLook(Ui::UserForm7& ui, QWidget& form);

}  // namespace velmora::comments
