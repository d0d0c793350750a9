#pragma once

#include <QPointer>
#include <QWidget>

#include "notifier.h"

namespace melodeck {

// Shows messages for the user in a modal warning box over the main window. On a platform
// without a screen (offscreen, minimal) nobody could close the box, so the message goes to
// standard error instead.
//
// Single-threaded: UI thread only.
class QtNotifier final : public Notifier {
public:
    // The window the boxes are centred over; it may go away before the notifier does.
    void setParentWidget(QWidget* parent) { m_parent = parent; }
    void showMessage(std::string_view text) override;

    // Whether the running Qt platform has a screen a person can see.
    static bool hasVisibleScreen();

private:
    QPointer<QWidget> m_parent;
};

}  // namespace melodeck
