#pragma once
// The option controls as widgets: the control of one option row made from
// the row (tools/tool_options.h), and the window's set of controls through
// which a tool's read of an option id reaches the control, by a pointer
// kept when the control was bound, never by looking up its name.

#include <QPointer>
#include <QString>
#include <array>
#include <vector>

#include "tools/tool_options.h"

class QObject;
class QRadioButton;
class QWidget;

namespace pixora {

// A text of an option row as the windows show it.
QString OptionText(std::string_view text);

// Makes the control of `row` as a child of `parent`: its object name, range,
// increment and start value, a check box's text, a combo box's items, a
// radio group's title and buttons (direct children of the group box). A
// track bar's end labels and any caption beside a control are the layout's
// to draw. A row the box keeps without a control (Kept) makes nothing.
QWidget* MakeOptionControl(const TOptionRow& row, QWidget* parent);

class OptionControls {
public:
    // From now on `id` is read and written through `control`: a widget of
    // its row's kind, or for a row kept without a control the object that
    // keeps it as a property of the row's control name. A widget of another
    // kind is refused (std::logic_error).
    void Bind(TOpt id, QObject* control);
    bool Bound(TOpt id) const;
    // The control bound to `id` as its class (to connect to it); null when
    // none is, or it is of another class.
    template <class T> T* Control(TOpt id) const {
        return qobject_cast<T*>(bound_[static_cast<std::size_t>(id)].Control.data());
    }
    // The value as the row's kind says (tools/tool_options.h); 0 for an id
    // whose control is gone.
    int Value(TOpt id) const;
    // Sets the control to `value` (a radio index outside the group is left).
    void SetValue(TOpt id, int value);

private:
    struct TBinding {
        QPointer<QObject> Control;
        std::vector<QPointer<QRadioButton>> Radios; // a radio group's buttons in order
    };
    std::array<TBinding, kOptionCount> bound_;
};

} // namespace pixora
