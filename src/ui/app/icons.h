#pragma once
// Pictures the program draws for itself at start-up: the tree's form icons,
// the tool bar's buttons and the welcome area's pictures.
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace pit::ui {

// Tree icon of an entry by person code (0 none, 1 taxpayer, 2 spouse), with
// the selected picture (image number + 3) as its Selected mode.
QIcon FormIcon(int personCode);
// One picture of the six-picture list: 0..2 plain, 3..5 selected.
QPixmap FormIconPicture(int index);

enum class ToolIcon {
  New, Open, Save, Print, Import, Check, Send, OpenVeltra, Help, Calculator, Update, First, Previous, Next, Last,
};
QIcon ToolBarIcon(ToolIcon which);

// A welcome picture: a rounded button face with a symbol and a caption;
// `highlighted` is its twin shown under the mouse.
QPixmap WelcomeFace(const QString& caption, ToolIcon symbol, bool highlighted);

}  // namespace pit::ui
