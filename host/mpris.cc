#include "mpris.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <ostream>

#include "halvane/errors.h"

namespace host {
namespace {

constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char* kRootInterface = "org.mpris.MediaPlayer2";
constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kErrorName = "org.halvane.Radio.Error.Failed";
// A bus that does not answer within this time is treated as gone: the host's thread runs the
// radio and must not hang on the desktop.
constexpr int kBusCallTimeoutMs = 5000;

constexpr const char* kIntrospection = R"(<node>
  <interface name="org.mpris.MediaPlayer2">
    <method name="Raise"/>
    <method name="Quit"/>
    <property name="CanQuit" type="b" access="read"/>
    <property name="CanRaise" type="b" access="read"/>
    <property name="HasTrackList" type="b" access="read"/>
    <property name="Identity" type="s" access="read"/>
    <property name="DesktopEntry" type="s" access="read"/>
    <property name="SupportedUriSchemes" type="as" access="read"/>
    <property name="SupportedMimeTypes" type="as" access="read"/>
  </interface>
  <interface name="org.mpris.MediaPlayer2.Player">
    <method name="Next"/>
    <method name="Previous"/>
    <method name="Pause"/>
    <method name="PlayPause"/>
    <method name="Stop"/>
    <method name="Play"/>
    <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
    <method name="SetPosition">
      <arg name="TrackId" type="o" direction="in"/>
      <arg name="Position" type="x" direction="in"/>
    </method>
    <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
    <signal name="Seeked"><arg name="Position" type="x"/></signal>
    <property name="PlaybackStatus" type="s" access="read"/>
    <property name="Rate" type="d" access="read"/>
    <property name="Metadata" type="a{sv}" access="read"/>
    <property name="Volume" type="d" access="readwrite"/>
    <property name="Position" type="x" access="read"/>
    <property name="MinimumRate" type="d" access="read"/>
    <property name="MaximumRate" type="d" access="read"/>
    <property name="CanGoNext" type="b" access="read"/>
    <property name="CanGoPrevious" type="b" access="read"/>
    <property name="CanPlay" type="b" access="read"/>
    <property name="CanPause" type="b" access="read"/>
    <property name="CanSeek" type="b" access="read"/>
    <property name="CanControl" type="b" access="read"/>
  </interface>
</node>)";

// What each method of the player does: the plug-in's command, or nothing (""; the radio can't
// seek). Stop mutes, as a radio can't stop the station from sending.
struct PlayerMethod {
  const char* name;
  const char* command;
};
constexpr PlayerMethod kPlayerMethods[] = {
    {"Next", "next"},
    {"Previous", "prev"},
    {"Pause", "radiomute;on"},
    {"Play", "radiomute;off"},
    {"PlayPause", "radiomute"},
    {"Stop", "radiomute;on"},
    {"Seek", ""},
    {"SetPosition", ""},
};

// The properties that follow whether the radio is active.
constexpr const char* kActiveProperties[] = {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"};

GVariant* Metadata(const MediaState& state) {
  GVariantBuilder b;
  g_variant_builder_init(&b, G_VARIANT_TYPE("a{sv}"));
  if (!state.trackId.empty())
    g_variant_builder_add(&b, "{sv}", "mpris:trackid",
                          g_variant_new_object_path(state.trackId.c_str()));
  if (!state.title.empty())
    g_variant_builder_add(&b, "{sv}", "xesam:title", g_variant_new_string(state.title.c_str()));
  if (!state.artist.empty()) {
    const char* artists[] = {state.artist.c_str()};
    g_variant_builder_add(&b, "{sv}", "xesam:artist", g_variant_new_strv(artists, 1));
  }
  if (!state.album.empty())
    g_variant_builder_add(&b, "{sv}", "xesam:album", g_variant_new_string(state.album.c_str()));
  if (!state.artUrl.empty())
    g_variant_builder_add(&b, "{sv}", "mpris:artUrl", g_variant_new_string(state.artUrl.c_str()));
  return g_variant_builder_end(&b);
}

}  // namespace

Mpris::Mpris(RadioHost& host, GMainContext* context, std::string desktopEntry,
             std::ostream& notices)
    : host_(host), desktopEntry_(std::move(desktopEntry)), context_(context) {
  // Calls for the objects registered here are dispatched in the thread-default context.
  g_main_context_push_thread_default(context);
  GError* error = nullptr;
  gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
  if (address != nullptr) {
    // A connection of our own: closing it at the end gives the name back at once.
    connection_ = g_dbus_connection_new_for_address_sync(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, &error);
    g_free(address);
  }
  if (connection_ != nullptr) {
    // The radio goes on when the bus goes away.
    g_dbus_connection_set_exit_on_close(connection_, FALSE);
    introspection_ = g_dbus_node_info_new_for_xml(kIntrospection, nullptr);
    static const GDBusInterfaceVTable vtable = {
        &Mpris::OnMethodCall, &Mpris::OnGetProperty, &Mpris::OnSetProperty, {}};
    for (int i = 0; i < 2 && error == nullptr; ++i)
      registrations_[i] = g_dbus_connection_register_object(
          connection_, kObjectPath, introspection_->interfaces[i], &vtable, this, nullptr, &error);
  }
  g_main_context_pop_thread_default(context);

  std::string why = error != nullptr ? error->message : "";
  g_clear_error(&error);
  if (connection_ != nullptr && why.empty()) {
    // A second radio on the same desktop takes a name of its own, as players do.
    if (RequestName(kMprisBusName) ||
        RequestName(std::string(kMprisBusName) + ".instance" + std::to_string(::getpid())))
      return;
    why = "the bus refused the name " + std::string(kMprisBusName);
  }
  notices << desktopEntry_ << ": media keys are not available (" << why << ")\n";
  Close();
}

Mpris::~Mpris() { Close(); }

void Mpris::Close() {
  if (stepping_ != nullptr) {
    g_source_destroy(stepping_);
    g_source_unref(stepping_);
    stepping_ = nullptr;
  }
  if (connection_ != nullptr) {
    for (guint& id : registrations_) {
      if (id != 0) g_dbus_connection_unregister_object(connection_, id);
      id = 0;
    }
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_clear_object(&connection_);
  }
  g_clear_pointer(&introspection_, g_dbus_node_info_unref);
  busName_.clear();
}

bool Mpris::RequestName(const std::string& name) {
  constexpr guint32 kDoNotQueue = 4, kPrimaryOwner = 1;
  GVariant* reply = g_dbus_connection_call_sync(
      connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
      "RequestName", g_variant_new("(su)", name.c_str(), kDoNotQueue), G_VARIANT_TYPE("(u)"),
      G_DBUS_CALL_FLAGS_NONE, kBusCallTimeoutMs, nullptr, nullptr);
  if (reply == nullptr) return false;
  guint32 result = 0;
  g_variant_get(reply, "(u)", &result);
  g_variant_unref(reply);
  if (result != kPrimaryOwner) return false;
  busName_ = name;
  return true;
}

void Mpris::Refresh() {
  if (connection_ == nullptr) return;
  MediaState now = ReadMediaState(host_);
  if (now == state_) return;
  GVariantBuilder changed;
  g_variant_builder_init(&changed, G_VARIANT_TYPE("a{sv}"));
  const MediaState before = state_;
  state_ = now;
  if (now.playbackStatus != before.playbackStatus)
    g_variant_builder_add(&changed, "{sv}", "PlaybackStatus", PlayerProperty("PlaybackStatus"));
  if (now.active != before.active)
    for (const char* name : kActiveProperties)
      g_variant_builder_add(&changed, "{sv}", name, PlayerProperty(name));
  MediaState track = now, trackBefore = before;
  track.playbackStatus = trackBefore.playbackStatus;
  track.active = trackBefore.active;
  track.volume = trackBefore.volume;
  if (track != trackBefore)
    g_variant_builder_add(&changed, "{sv}", "Metadata", PlayerProperty("Metadata"));
  if (now.volume != before.volume)
    g_variant_builder_add(&changed, "{sv}", "Volume", PlayerProperty("Volume"));
  g_dbus_connection_emit_signal(
      connection_, nullptr, kObjectPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
      g_variant_new("(sa{sv}as)", kPlayerInterface, &changed, nullptr), nullptr);
}

GVariant* Mpris::RootProperty(const std::string& name) const {
  if (name == "Identity") return g_variant_new_string(kMprisIdentity);
  if (name == "DesktopEntry") return g_variant_new_string(desktopEntry_.c_str());
  if (name == "SupportedUriSchemes" || name == "SupportedMimeTypes")
    return g_variant_new_strv(nullptr, 0);
  return g_variant_new_boolean(false);  // CanQuit, CanRaise, HasTrackList
}

GVariant* Mpris::PlayerProperty(const std::string& name) const {
  if (name == "PlaybackStatus") return g_variant_new_string(state_.playbackStatus.c_str());
  if (name == "Metadata") return Metadata(state_);
  if (name == "Position") return g_variant_new_int64(0);
  if (name == "Volume") return g_variant_new_double(state_.volume);
  if (name == "Rate" || name == "MinimumRate" || name == "MaximumRate")
    return g_variant_new_double(1.0);
  if (name == "CanControl") return g_variant_new_boolean(true);
  if (name == "CanSeek") return g_variant_new_boolean(false);
  return g_variant_new_boolean(state_.active);  // CanGoNext, CanGoPrevious, CanPlay, CanPause
}

void Mpris::Act(const std::string& method, GDBusMethodInvocation* invocation) {
  const PlayerMethod* found = nullptr;
  for (const PlayerMethod& m : kPlayerMethods)
    if (method == m.name) found = &m;
  if (found == nullptr) {
    g_dbus_method_invocation_return_dbus_error(invocation,
                                               "org.freedesktop.DBus.Error.NotSupported",
                                               "the radio plays stations, not addresses");
    return;
  }
  // A step may be a seek that holds the radio a while: the steps that queued up meanwhile are
  // one more step, taken once the radio is idle again, not one seek each.
  const bool step = method == "Next" || method == "Previous";
  if (step && stepping_ != nullptr) {
    pendingStep_ = found->command;
    g_dbus_method_invocation_return_value(invocation, nullptr);
    return;
  }
  if (step) AwaitIdleAfterStep();
  const std::string failure = Run(found->command);
  if (failure.empty())
    g_dbus_method_invocation_return_value(invocation, nullptr);
  else
    g_dbus_method_invocation_return_dbus_error(invocation, kErrorName, failure.c_str());
}

std::string Mpris::Run(const char* command) {
  std::string failure;
  if (*command == '\0' || !host_.HasPlugin()) return failure;
  if (onCommand) onCommand(command);
  try {
    std::string text = command;
    std::shared_ptr<halvane::Dispatch> frm = host_.radioScreen;
    host_.Radio().ProcessCommand(text, frm);
  } catch (const halvane::RuntimeError& e) {
    failure = std::to_string(e.number()) + " " + halvane::ErrorDescription(e.number());
  } catch (const std::exception& e) {
    failure = e.what();
  }
  Refresh();
  if (onAction) onAction();
  return failure;
}

void Mpris::AwaitIdleAfterStep() {
  stepping_ = g_idle_source_new();
  g_source_set_priority(stepping_, G_PRIORITY_LOW);
  g_source_set_callback(stepping_, &Mpris::OnIdleAfterStep, this, nullptr);
  g_source_attach(stepping_, context_);
}

gboolean Mpris::OnIdleAfterStep(gpointer self) {
  auto* mpris = static_cast<Mpris*>(self);
  g_source_unref(mpris->stepping_);
  mpris->stepping_ = nullptr;
  if (!mpris->pendingStep_.empty()) {
    const std::string command = std::move(mpris->pendingStep_);
    mpris->pendingStep_.clear();
    mpris->AwaitIdleAfterStep();
    mpris->Run(command.c_str());
  }
  return G_SOURCE_REMOVE;
}

void Mpris::OnMethodCall(GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
                         const gchar* method, GVariant*, GDBusMethodInvocation* invocation,
                         gpointer self) {
  auto* mpris = static_cast<Mpris*>(self);
  if (g_strcmp0(interface, kPlayerInterface) == 0) {
    mpris->Act(method, invocation);
    return;
  }
  // Raise and Quit: the radio can do neither (CanRaise, CanQuit), so they do nothing.
  g_dbus_method_invocation_return_value(invocation, nullptr);
}

// Volume is the one property a client may set: the tuner's volume, where it has one.
gboolean Mpris::OnSetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
                              const gchar* property, GVariant* value, GError** error,
                              gpointer self) {
  auto* mpris = static_cast<Mpris*>(self);
  if (g_strcmp0(interface, kPlayerInterface) != 0 || g_strcmp0(property, "Volume") != 0 ||
      !g_variant_is_of_type(value, G_VARIANT_TYPE_DOUBLE)) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_PROPERTY_READ_ONLY, "%s can't be set", property);
    return FALSE;
  }
  // Beyond 0 to 1 is taken as the nearer end, as the media interface asks; what is no number
  // at all (NaN, an infinity) has no nearer end and leaves the volume as it is.
  const double asked = g_variant_get_double(value);
  if (!std::isfinite(asked)) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_INVALID_ARGS, "Volume must be a finite number");
    return FALSE;
  }
  const double wanted = std::clamp(asked, 0.0, 1.0);
  if (!mpris->host_.SetVolume(static_cast<int32_t>(std::lround(wanted * 100)))) {
    g_set_error(error, G_DBUS_ERROR, G_DBUS_ERROR_NOT_SUPPORTED, "the tuner has no volume control");
    return FALSE;
  }
  mpris->Refresh();
  if (mpris->onAction) mpris->onAction();
  return TRUE;
}

GVariant* Mpris::OnGetProperty(GDBusConnection*, const gchar*, const gchar*, const gchar* interface,
                               const gchar* property, GError**, gpointer self) {
  auto* mpris = static_cast<Mpris*>(self);
  if (g_strcmp0(interface, kRootInterface) == 0) return mpris->RootProperty(property);
  // Answered from the radio as it is now; listeners hear of the change first.
  mpris->Refresh();
  return mpris->PlayerProperty(property);
}

}  // namespace host
