// The enumerated properties of the components, as stored definitions name
// their values ("taCenter", "bsSingle", ...). The form reader reads them by
// name through the meta-object system; an unknown name is an error that
// names the file, the line and the column.
#pragma once

#include <QObject>

namespace PropertyEnums {
Q_NAMESPACE

// Horizontal placement of a caption (labels, panels).
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
Q_ENUM_NS(TAlignment)

// Vertical placement of a label's caption.
enum class TTextLayout { tlTop, tlCenter, tlBottom };
Q_ENUM_NS(TTextLayout)

// A panel's outer and inner bevels.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
Q_ENUM_NS(TBevelCut)

// A window's frame: the single, dialog and tool frames cannot be resized.
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
Q_ENUM_NS(TFormBorderStyle)

enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
Q_ENUM_NS(TFormStyle)

enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
Q_ENUM_NS(TWindowState)

// What a bevel draws, and whether sunken or raised.
enum class TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
Q_ENUM_NS(TBevelShape)
enum class TBevelStyle { bsLowered, bsRaised };
Q_ENUM_NS(TBevelStyle)

// Case forced on an edit's text.
enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
Q_ENUM_NS(TEditCharCase)

// A combo box: editable (csDropDown, csSimple) or a closed list of items.
enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
Q_ENUM_NS(TComboBoxStyle)

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
Q_ENUM_NS(TCheckBoxState)

} // namespace PropertyEnums
