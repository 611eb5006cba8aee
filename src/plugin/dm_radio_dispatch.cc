// DMRadio's late-bound side: every member reachable by name, with the same conversions a typed
// call would make. By-reference arguments that a method writes (ReturnLabel's LBL) are written
// back.
#include <array>
#include <string_view>

#include "halvane/errors.h"
#include "plugin/dm_radio.h"

namespace halvane {
namespace {

Variant& Arg(std::span<Variant> args, size_t i) {
  if (i >= args.size()) Raise(kArgumentNotOptional);
  return args[i];
}

}  // namespace

Variant DMRadio::Invoke(std::string_view member, CallKind kind, std::span<Variant> args) {
  const NumberFormat* fmt = &c_.Numbers();
  auto is = [&](std::string_view name) { return MemberNameEquals(member, name); };
  const bool put = kind == CallKind::PropertyPut;
  // A property put carries the new value as its last argument.
  auto value = [&]() -> Variant& {
    if (args.empty()) Raise(kArgumentNotOptional);
    return args.back();
  };

  if (is("ConfigPath")) {
    if (put) return ConfigPath(value().ToString(fmt)), Variant();
    return Variant(ConfigPath());
  }
  if (is("CachePath")) {
    if (put) return CachePath(value().ToString(fmt)), Variant();
    return Variant(CachePath());
  }
  if (is("SeekMode")) {
    if (put) return SeekMode(value().ToBool(fmt)), Variant();
    return Variant(SeekMode());
  }
  if (is("LocalMode")) {
    if (put) return LocalMode(value().ToBool(fmt)), Variant();
    return Variant(LocalMode());
  }
  if (is("PresetMode")) {
    if (put) return PresetMode(value().ToBool(fmt)), Variant();
    return Variant(PresetMode());
  }
  if (is("RDSTAEnabled")) {
    if (put) return RDSTAEnabled(value().ToBool(fmt)), Variant();
    return Variant(RDSTAEnabled());
  }
  if (is("SearchMode")) {
    if (put) return SearchMode(static_cast<SModes>(value().ToInt32(fmt))), Variant();
    return Variant(static_cast<int32_t>(SearchMode()));
  }
  if (put) Raise(kNoMember, std::string(member));

  if (is("GetName")) return Variant(GetName());
  if (is("TunerType")) return Variant(static_cast<int32_t>(TunerType()));
  if (is("IsActive")) return Variant(IsActive());
  if (is("Freq")) return Variant(Freq());
  if (is("StartRadio")) return StartRadio(), Variant();
  if (is("StopRadio")) return StopRadio(), Variant();
  if (is("Check")) return Variant(Check());
  if (is("GetArtwork")) return Variant(GetArtwork());
  if (is("SetActive")) {
    bool state = Arg(args, 0).ToBool(fmt);
    return SetActive(state), Variant();
  }
  if (is("Refresh")) {
    auto frm = Arg(args, 0).ToObject();
    return Refresh(frm), Variant();
  }
  if (is("Tune")) {
    int32_t f = Arg(args, 0).ToInt32(fmt);
    return Tune(f), Variant();
  }
  if (is("PresetRecall")) {
    int16_t p = Arg(args, 0).ToInt16(fmt);
    return PresetRecall(p), Variant();
  }
  if (is("ProcessCommand")) {
    std::string cmd = Arg(args, 0).ToString(fmt);
    auto frm = Arg(args, 1).ToObject();
    return Variant(ProcessCommand(cmd, frm));
  }
  if (is("ReturnLabel")) {
    std::string lbl = Arg(args, 0).ToString(fmt);
    std::string format = args.size() > 1 ? args[1].ToString(fmt) : std::string();
    std::string result = ReturnLabel(lbl, format);
    args[0] = Variant(lbl);
    return Variant(result);
  }
  if (is("ReturnSlider")) {
    std::string sld = Arg(args, 0).ToString(fmt);
    return Variant(ReturnSlider(sld));
  }
  if (is("ReturnIndicatorEx")) {
    std::string ind = Arg(args, 0).ToString(fmt);
    return Variant(ReturnIndicatorEx(ind));
  }
  Raise(kNoMember, std::string(member));
}

}  // namespace halvane
