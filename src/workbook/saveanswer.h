#pragma once

#include <QMetaType>

namespace velmora {

// The answers to a question about text or changes not yet saved: save them
// (保存, 存入), drop them (不保存, 不存入), or go back to work with everything
// as it was (取消, Esc, or the question's window closed).
enum class SaveAnswer { Save, Discard, Cancel };

}  // namespace velmora

Q_DECLARE_METATYPE(velmora::SaveAnswer)
