// The desktop's media interface (MPRIS) on the session bus: media keys, the panel's media widget
// and phone links play, pause and step the radio, and see its station as the playing track.
#ifndef HALVANE_HOST_MPRIS_H
#define HALVANE_HOST_MPRIS_H

#include <gio/gio.h>

#include <functional>
#include <iosfwd>
#include <string>

#include "media_state.h"
#include "radio_host.h"

namespace host {

inline constexpr const char* kMprisBusName = "org.mpris.MediaPlayer2.halvane";
inline constexpr const char* kMprisIdentity = "HalvaneDM radio";

class Mpris {
 public:
  // Connects to the session bus and takes kMprisBusName (or, while another radio holds it, that
  // name with ".instance<pid>"). Calls from the bus are answered whenever `context` is iterated
  // on this thread, and act on `host`'s plug-in. `desktopEntry` is the face's desktop entry
  // without ".desktop". Without a session bus it says so once on `notices` and does nothing.
  Mpris(RadioHost& host, GMainContext* context, std::string desktopEntry, std::ostream& notices);
  ~Mpris();
  Mpris(const Mpris&) = delete;
  Mpris& operator=(const Mpris&) = delete;

  bool Connected() const { return connection_ != nullptr; }
  const std::string& BusName() const { return busName_; }

  // Asks the radio afresh and tells the bus what changed since the last time: a face calls it
  // after each repaint, so listeners hear of a new station or mute without asking.
  void Refresh();

  // Called after a call from the bus acted on the radio, so the face can redraw at once.
  std::function<void()> onAction;
  // Called with the command a call from the bus hands the plug-in, before it runs, so the
  // session knows a mute or unmute is the person's own.
  std::function<void(const std::string& command)> onCommand;

 private:
  static void OnMethodCall(GDBusConnection*, const gchar* sender, const gchar* path,
                           const gchar* interface, const gchar* method, GVariant* parameters,
                           GDBusMethodInvocation* invocation, gpointer self);
  static gboolean OnSetProperty(GDBusConnection*, const gchar* sender, const gchar* path,
                                const gchar* interface, const gchar* property, GVariant* value,
                                GError** error, gpointer self);
  static GVariant* OnGetProperty(GDBusConnection*, const gchar* sender, const gchar* path,
                                 const gchar* interface, const gchar* property, GError** error,
                                 gpointer self);

  void Act(const std::string& method, GDBusMethodInvocation* invocation);
  // Gives the plug-in `command` ("" for none); the failure in words, "" for none.
  std::string Run(const char* command);
  // Steps that arrive until the context is next idle are merged into pendingStep_.
  void AwaitIdleAfterStep();
  static gboolean OnIdleAfterStep(gpointer self);
  GVariant* RootProperty(const std::string& name) const;
  GVariant* PlayerProperty(const std::string& name) const;
  bool RequestName(const std::string& name);
  void Close();

  RadioHost& host_;
  std::string desktopEntry_;
  GMainContext* context_;
  GSource* stepping_ = nullptr;  // while steps are merged
  std::string pendingStep_;      // the command of the last merged step, "" for none
  GDBusConnection* connection_ = nullptr;
  GDBusNodeInfo* introspection_ = nullptr;
  guint registrations_[2] = {0, 0};
  std::string busName_;
  MediaState state_;  // as last told to the bus
};

}  // namespace host

#endif
