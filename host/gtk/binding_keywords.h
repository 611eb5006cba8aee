// What a skin can bind, by convention: a widget's builder id names what it shows ("label.rdsname",
// "indicator.stereo", "slider.rsignal", "artwork.radioart" ...), and a button's action names what
// it does ("radio.command" with the command string as its target). The tables are plain data so
// the page for skin authors can be checked against them.
#ifndef HALVANE_HOST_GTK_BINDING_KEYWORDS_H
#define HALVANE_HOST_GTK_BINDING_KEYWORDS_H

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace host::gtk {

enum class BindingKind {
  Label,      // a GtkLabel (or a button's label): ReturnLabel's text
  Indicator,  // any widget: the CSS class "on" while ReturnIndicatorEx answers "True"
  Slider,     // a GtkLevelBar or GtkProgressBar: ReturnSlider's value, 0 to 65535
  Artwork,    // a GtkPicture or GtkImage: the picture file ReturnIndicatorEx answers
  Row,        // a label or button: the text of that row (1-based) of the preset list
  Host,       // a label: a text of the host's own ("error", "prompt")
};

struct BindingKindInfo {
  BindingKind kind;
  std::string_view prefix;                     // "label", the part of the id before the "."
  std::span<const std::string_view> keywords;  // empty for Row, whose keyword is a number
};

std::span<const BindingKindInfo> BindingKinds();

// A widget id that names a binding: its kind and its keyword, lower-cased.
struct Binding {
  BindingKind kind;
  std::string keyword;
};

// The binding an id names: nullopt for an id without a known prefix (a plain widget of the
// design). An id with a known prefix and a keyword nobody answers sets `unknown` to a warning that
// names it.
std::optional<Binding> ParseBindingId(std::string_view id, std::string& unknown);

// The actions of the "radio" group a skin's buttons name, with what their target must be.
struct SkinAction {
  std::string_view name;        // "command", used as "radio.command"
  std::string_view targetType;  // GVariant type string of the target, "" for none
};

std::span<const SkinAction> SkinActions();

// Ids of the widgets a screen must or may have besides its bindings.
inline constexpr std::string_view kScreenId = "screen";    // the screen's top widget (required)
inline constexpr std::string_view kPresetListId = "PL";    // the preset list (a GtkListView)
inline constexpr std::string_view kTypedTextId = "txt.0";  // the keyboard's text (a GtkEditable)
// The radio screen's panel of further actions, a widget of its own outside "screen".
inline constexpr const char* kMorePanelId = "more";

}  // namespace host::gtk

#endif
