#pragma once

class QToolBar;
class QWidget;

namespace tw {

class CommandActions;

// The frame's toolbar: New, Open, Save | Cut, Copy, Paste | Preview, Web
// Browser, Delete, each button showing its command's action.
QToolBar *buildMainToolbar(const CommandActions &actions, QWidget *parent);

} // namespace tw
