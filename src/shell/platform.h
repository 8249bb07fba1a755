#pragma once

#include <QPoint>

class QUrl;
class QWidget;

// The few services the shell takes from the operating system.
namespace velmora::platform {

// Opens a web page or an e-mail address with the desktop's default handler;
// whether that succeeded is not reported.
void openLink(const QUrl& url);
// The mouse pointer in screen pixels.
QPoint pointerPosition();
// Puts the window above all others that are not kept on top themselves,
// without taking the keyboard focus from the window the user types in.
void keepOnTop(QWidget* window);

}  // namespace velmora::platform
