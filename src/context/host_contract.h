// Typed calls on the host's objects: the SDK object and the screen object `frm` with its preset
// list `PL` and text boxes `txt`. Member names and conversions live here and nowhere else. A call
// on a missing object raises 91, on a missing member 438.
#ifndef HALVANE_CONTEXT_HOST_CONTRACT_H
#define HALVANE_CONTEXT_HOST_CONTRACT_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "halvane/dispatch.h"
#include "runtime/locale.h"

namespace halvane {

using ObjectRef = std::shared_ptr<Dispatch>;

// Host variables the plug-in reads through GetInfo.
namespace hostvar {
inline constexpr std::string_view kRadioDebug = "=$RadioDebug$";
inline constexpr std::string_view kDMPath = "=$DMPath$";
inline constexpr std::string_view kUserbds = "=$Userbds$";
inline constexpr std::string_view kAllowAllFreqs = "=$allowallfreqs$";
inline constexpr std::string_view kScanSecs = "=$scansecs$";
inline constexpr std::string_view kArtPath = "=$dmartpath$";
inline constexpr std::string_view kFastMode = "=$fastmode$";
}  // namespace hostvar

namespace host {

// SDK object.
Variant GetInfo(const ObjectRef& sdk, std::string_view variable);
std::string GetUserVar(const ObjectRef& sdk, std::string_view name);
void DMLOG(const ObjectRef& sdk, const std::string& line);
void Errscrn(const ObjectRef& sdk, const std::string& title, const std::string& caption,
             const std::string& message, bool flag);

// Screen object.
std::string Tag(const ObjectRef& frm);
Variant ShowPL(const ObjectRef& frm);
int16_t PLValue(const ObjectRef& frm);
ObjectRef PL(const ObjectRef& frm);
ObjectRef Txt(const ObjectRef& frm, int16_t index);

// List control.
Variant ListValue(const ObjectRef& pl);
void SetListValue(const ObjectRef& pl, int32_t row);
void ListClear(const ObjectRef& pl);
void ListAddItem(const ObjectRef& pl, std::string row);
void ListCenterList(const ObjectRef& pl);

// Text box: its Text, and its default value.
Variant TextBoxText(const ObjectRef& box);
Variant TextBoxDefault(const ObjectRef& box);

// A host value compared with true (-1) and with false (0), as a Boolean comparison makes it:
// text "True"/"False" reads as the Boolean, other text as a number.
bool EqualsTrue(const Variant& v);
bool EqualsFalse(const Variant& v);

}  // namespace host
}  // namespace halvane

#endif
