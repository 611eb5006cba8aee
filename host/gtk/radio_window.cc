#include "radio_window.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "dialogs.h"
#include "error_words.h"
#include "halvane/errors.h"
#include "key_bindings.h"
#include "key_map.h"
#include "letter_keys.h"
#include "station_text.h"

namespace host::gtk {
namespace {

constexpr guint kRepaintMs = 100;

}  // namespace

RadioWindow::RadioWindow(RadioHost& host, std::unique_ptr<Skin> skin, GtkApplication* app)
    : host_(host), skin_(std::move(skin)), session_(host) {
  window_ =
      app != nullptr ? GTK_WINDOW(gtk_application_window_new(app)) : GTK_WINDOW(gtk_window_new());
  g_object_ref(window_);  // released in the destructor, after the window is destroyed
  gtk_window_set_title(window_, "HalvaneDM radio");
  gtk_window_set_default_size(window_, 800, 480);
  gtk_widget_add_css_class(GTK_WIDGET(window_), "halvane-radio");

  // The screens' Tags tell the plug-in which screen a command comes from.
  host_.radioScreen->tag = skin_->radio->tag;
  host_.keyboardScreen->tag = skin_->keyboard->tag;

  // The actions go on the screens before the screens go into the window: GTK (4.8) does not
  // tell a button of a group put on its screen later, and the button would stay insensitive.
  radioActions_ = MakeActions(false);
  keyboardActions_ = MakeActions(true);
  gtk_widget_insert_action_group(skin_->radio->root.get(), "radio", radioActions_);
  gtk_widget_insert_action_group(skin_->keyboard->root.get(), "radio", keyboardActions_);

  stack_ = GTK_STACK(gtk_stack_new());
  gtk_stack_set_transition_type(stack_, GTK_STACK_TRANSITION_TYPE_NONE);
  gtk_stack_add_named(stack_, skin_->radio->root.get(), "radio");
  gtk_stack_add_named(stack_, skin_->keyboard->root.get(), "keyboard");
  overlay_ = GTK_OVERLAY(gtk_overlay_new());
  gtk_overlay_set_child(overlay_, GTK_WIDGET(stack_));
  gtk_window_set_child(window_, GTK_WIDGET(overlay_));
  sheets_ = std::make_unique<Sheets>(overlay_, radioActions_);
  // Nothing moves the chosen row while a panel is over the radio.
  sheets_->onChange = [this](bool open) { session_.HoldChoice(open); };
  for (const BoundWidget& bound : skin_->radio->bindings)
    if (bound.binding.kind == BindingKind::Row && GTK_IS_BUTTON(bound.widget))
      HoldToStore(bound.widget,
                  static_cast<int32_t>(std::strtol(bound.binding.keyword.c_str(), nullptr, 10)));

  if (skin_->style) {
    style_ = skin_->style.get();
    gtk_style_context_add_provider_for_display(gtk_widget_get_display(GTK_WIDGET(window_)),
                                               GTK_STYLE_PROVIDER(style_),
                                               GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
  }

  if (skin_->radio->presetList != nullptr)
    presetList_ = std::make_unique<PresetList>(skin_->radio->presetList, *host_.radioScreen,
                                               [this](int32_t row) { Recall(row + 1); });
  if (GtkEditable* typed = skin_->keyboard->typedText;
      typed != nullptr && g_signal_lookup("activate", G_OBJECT_TYPE(typed)) != 0)
    g_signal_connect(typed, "activate", G_CALLBACK(OnTypedTextActivate), this);

  GtkEventController* keys = gtk_event_controller_key_new();
  gtk_event_controller_set_propagation_phase(keys, GTK_PHASE_CAPTURE);
  g_signal_connect(keys, "key-pressed", G_CALLBACK(OnKey), this);
  gtk_widget_add_controller(GTK_WIDGET(window_), keys);

  tick_ = g_timeout_add(kRepaintMs, &RadioWindow::OnTick, this);
}

RadioWindow::~RadioWindow() {
  g_source_remove(tick_);
  sheets_.reset();
  if (style_ != nullptr)
    gtk_style_context_remove_provider_for_display(gtk_widget_get_display(GTK_WIDGET(window_)),
                                                  GTK_STYLE_PROVIDER(style_));
  if (GtkEditable* typed = skin_->keyboard->typedText)
    g_signal_handlers_disconnect_by_data(typed, this);
  presetList_.reset();
  gtk_widget_insert_action_group(skin_->radio->root.get(), "radio", nullptr);
  gtk_widget_insert_action_group(skin_->keyboard->root.get(), "radio", nullptr);
  g_object_unref(radioActions_);
  g_object_unref(keyboardActions_);
  gtk_window_destroy(window_);
  g_object_unref(window_);
}

GActionGroup* RadioWindow::MakeActions(bool keyboard) {
  GSimpleActionGroup* group = g_simple_action_group_new();
  ActionContext* context = keyboard ? &keyboardContext_ : &radioContext_;
  for (const SkinAction& spec : SkinActions()) {
    const std::string name(spec.name);
    GSimpleAction* action;
    if (name == "night" || name == "shift" || name == "traffic") {
      const bool on = name == "night" ? night_ : name == "shift" && smallLetters_;
      action = g_simple_action_new_stateful(name.c_str(), nullptr, g_variant_new_boolean(on));
    } else {
      GVariantType* type = spec.targetType.empty()
                               ? nullptr
                               : g_variant_type_new(std::string(spec.targetType).c_str());
      action = g_simple_action_new(name.c_str(), type);
      if (type != nullptr) g_variant_type_free(type);
    }
    g_signal_connect(action, "activate", G_CALLBACK(OnAction), context);
    g_action_map_add_action(G_ACTION_MAP(group), G_ACTION(action));
    g_object_unref(action);
  }
  return G_ACTION_GROUP(group);
}

void RadioWindow::OnAction(GSimpleAction* action, GVariant* parameter, gpointer data) {
  auto* context = static_cast<ActionContext*>(data);
  RadioWindow& self = *context->window;
  const std::string name = g_action_get_name(G_ACTION(action));
  if (name == "command") {
    self.Command(g_variant_get_string(parameter, nullptr), context->keyboard);
  } else if (name == "recall") {
    self.Recall(g_variant_get_int32(parameter));
  } else if (name == "type") {
    self.Type(g_variant_get_string(parameter, nullptr));
  } else if (name == "backspace") {
    self.Backspace();
  } else if (name == "cancel") {
    self.Cancel();
  } else if (name == "shift") {
    self.SetSmallLetters(!self.smallLetters());
  } else if (name == "night") {
    self.SetNight(!self.night());
  } else if (name == "volume") {
    self.session_.StepVolume(g_variant_get_int32(parameter));
    self.Repaint();
  } else if (name == "help") {
    self.ShowHelp();
  } else if (name == "more") {
    self.ShowMore();
  } else if (name == "key") {
    const gunichar key = g_utf8_get_char(g_variant_get_string(parameter, nullptr));
    if (const KeyBinding* binding = BindingForKey(gdk_unicode_to_keyval(key)))
      self.DoBinding(*binding);
  } else if (name == "traffic") {
    self.session_.SetTrafficSwitch(!self.session_.trafficSwitch());
    self.Repaint();
  } else if (name == "quit") {
    gtk_window_close(self.window_);
  }
}

bool RadioWindow::Start(std::string& error) {
  if (!session_.Create(error)) return false;
  session_.Start();
  Repaint();
  return true;
}

void RadioWindow::Stop() {
  if (!host_.HasPlugin()) return;
  session_.Stop();  // saves the presets
  host_.Destroy();
}

void RadioWindow::Command(const std::string& command, bool fromKeyboard) {
  if (fromKeyboard && g_ascii_strcasecmp(command.c_str(), "enter") == 0)
    Confirm();
  else
    session_.Command(command);
  Repaint();
}

void RadioWindow::Confirm() {
  KeyboardPrompt* prompt = session_.prompt();
  if (prompt == nullptr) return;
  prompt->SetText(TypedText());
  session_.ConfirmPrompt();
}

void RadioWindow::Recall(int32_t preset) {
  session_.Recall(preset);
  Repaint();
}

void RadioWindow::FollowSession() {
  // The keyboard screen while the session asks for text, prefilled with what it starts from.
  const KeyboardPrompt* prompt = session_.prompt();
  if ((prompt != nullptr) != keyboardShown_) {
    keyboardShown_ = prompt != nullptr;
    GtkEditable* typed = skin_->keyboard->typedText;
    prefilled_ = keyboardShown_ && !prompt->text().empty();
    // A frequency or a preset number: the keyboard becomes a number pad.
    if (keyboardShown_)
      ShowKeysFor(skin_->keyboard->builder.get(), skin_->keyboard->root.get(),
                  prompt->AsksNumber());
    if (keyboardShown_ && typed != nullptr) gtk_editable_set_text(typed, prompt->text().c_str());
    gtk_stack_set_visible_child_name(stack_, keyboardShown_ ? "keyboard" : "radio");
    if (keyboardShown_ && typed != nullptr) {
      // Selected after the focus is given, which may move the cursor: the offered name shows
      // that a key replaces it.
      gtk_widget_grab_focus(GTK_WIDGET(typed));
      gtk_editable_select_region(typed, 0, -1);
    }
  }
  if (const auto& screen = session_.errorScreen()) {
    const ErrorScreenText shown = *screen;
    session_.DismissErrorScreen();  // the dialog is the screen from here on
    ShowDialog(shown.title, shown.body);
  }
  // The question's panel, once: it stays while the session asks.
  if (session_.question() && sheets_->title() != "Are you sure?")
    AskQuestion(session_.question()->text);
  SetToggle("traffic", session_.trafficSwitch());
}

std::string RadioWindow::TypedText() const {
  GtkEditable* typed = skin_->keyboard->typedText;
  return typed != nullptr ? gtk_editable_get_text(typed) : "";
}

void RadioWindow::Type(const std::string& text) {
  GtkEditable* typed = skin_->keyboard->typedText;
  if (typed == nullptr) return;
  // The first key replaces a prefilled text, as typing over a selection does.
  const std::string now = prefilled_ ? "" : gtk_editable_get_text(typed);
  prefilled_ = false;
  gtk_editable_set_text(typed, (now + text).c_str());
  gtk_editable_set_position(typed, -1);
}

// The first key typed over an offered name replaces it, wherever GTK left the selection and the
// cursor (a focus that comes back to the text box may leave the cursor at the start).
bool RadioWindow::TypeOverOffered(guint keyval) {
  if (!prefilled_) return false;
  if (keyval == GDK_KEY_BackSpace || keyval == GDK_KEY_Delete || keyval == GDK_KEY_KP_Delete) {
    Backspace();
    return true;
  }
  const gunichar typed = gdk_keyval_to_unicode(keyval);
  if (typed == 0 || !g_unichar_isprint(typed)) {
    // Enter confirms the offered name; a cursor key starts editing it.
    if (keyval != GDK_KEY_Return && keyval != GDK_KEY_KP_Enter) prefilled_ = false;
    return false;
  }
  char text[8] = {};
  g_unichar_to_utf8(typed, text);
  Type(text);
  return true;
}

void RadioWindow::Backspace() {
  GtkEditable* typed = skin_->keyboard->typedText;
  if (typed == nullptr) return;
  const int length = static_cast<int>(g_utf8_strlen(gtk_editable_get_text(typed), -1));
  if (prefilled_)
    gtk_editable_delete_text(typed, 0, length);
  else if (length > 0)
    gtk_editable_delete_text(typed, length - 1, length);
  prefilled_ = false;
}

void RadioWindow::Cancel() {
  session_.CancelPrompt();
  Repaint();
}

void RadioWindow::SetNight(bool night) {
  night_ = night;
  if (night)
    gtk_widget_add_css_class(GTK_WIDGET(window_), "night");
  else
    gtk_widget_remove_css_class(GTK_WIDGET(window_), "night");
  SetToggle("night", night);
}

void RadioWindow::SetToggle(const char* action, bool on) {
  for (GActionGroup* group : {radioActions_, keyboardActions_}) {
    GAction* toggle = g_action_map_lookup_action(G_ACTION_MAP(group), action);
    GVariant* state = g_action_get_state(toggle);
    const bool was = state != nullptr && g_variant_get_boolean(state);
    if (state != nullptr) g_variant_unref(state);
    if (was != on) g_simple_action_set_state(G_SIMPLE_ACTION(toggle), g_variant_new_boolean(on));
  }
}

void RadioWindow::HoldToStore(GtkWidget* button, int32_t row) {
  GtkGesture* hold = gtk_gesture_long_press_new();
  gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(hold), GTK_PHASE_CAPTURE);
  g_object_set_data(G_OBJECT(hold), "row", GINT_TO_POINTER(row));
  g_signal_connect(
      hold, "pressed", G_CALLBACK(+[](GtkGestureLongPress* gesture, double, double, gpointer data) {
        auto* self = static_cast<RadioWindow*>(data);
        const int32_t row = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(gesture), "row"));
        // A preset button that holds a preset recalls it on release, as a tap.
        if (row <= self->session_.rowCount()) return;
        gtk_gesture_set_state(GTK_GESTURE(gesture), GTK_EVENT_SEQUENCE_CLAIMED);
        self->session_.StorePreset();
        self->Repaint();
      }),
      this);
  gtk_widget_add_controller(button, GTK_EVENT_CONTROLLER(hold));
}

void RadioWindow::SetSmallLetters(bool small) {
  smallLetters_ = small;
  ShowLetterCase(skin_->keyboard->root.get(), small);
  SetToggle("shift", small);
}

void RadioWindow::ShowHelp() { sheets_->ShowHelp(); }

void RadioWindow::ShowDialog(const std::string& title, const std::string& text) {
  sheets_->ShowMessage(title, text);
}

void RadioWindow::ShowMore() {
  GObject* more = gtk_builder_get_object(skin_->radio->builder.get(), kMorePanelId);
  if (GTK_IS_WIDGET(more)) sheets_->ShowPanel("More", GTK_WIDGET(more));
}

void RadioWindow::AskQuestion(const std::string& question) {
  sheets_->Ask(question, [this](bool yes) {
    session_.Answer(yes);
    Repaint();
  });
}

bool RadioWindow::PressKey(guint keyval) {
  // A panel over the radio takes every key while it is open.
  if (sheets_->open()) {
    sheets_->PressKey(keyval);
    Repaint();
    return true;
  }
  if (session_.prompt() != nullptr) {
    if (keyval == GDK_KEY_Escape) {
      Cancel();
      return true;
    }
    return TypeOverOffered(keyval);  // else the keyboard screen's text takes the key
  }
  const KeyBinding* binding = BindingForKey(keyval);
  if (binding == nullptr) return false;
  DoBinding(*binding);
  return true;
}

void RadioWindow::DoBinding(const KeyBinding& binding) {
  if (session_.Act(binding)) {
    Repaint();
  } else if (binding.action == KeyAction::Help) {
    ShowHelp();
  } else if (binding.action == KeyAction::Quit) {
    gtk_window_close(window_);
  }
}

gboolean RadioWindow::OnKey(GtkEventControllerKey*, guint keyval, guint, GdkModifierType state,
                            gpointer self) {
  if ((state & (GDK_CONTROL_MASK | GDK_ALT_MASK)) != 0) return FALSE;
  return static_cast<RadioWindow*>(self)->PressKey(keyval);
}

void RadioWindow::OnTypedTextActivate(GtkWidget*, gpointer self) {
  static_cast<RadioWindow*>(self)->Command("enter", true);
}

gboolean RadioWindow::OnTick(gpointer self) {
  static_cast<RadioWindow*>(self)->Repaint();
  return G_SOURCE_CONTINUE;
}

void RadioWindow::Repaint() {
  session_.Follow();
  FollowSession();
  if (presetList_) presetList_->Sync();
  RepaintScreen(keyboardShown_ ? *skin_->keyboard : *skin_->radio);
  if (afterRepaint) afterRepaint();
}

}  // namespace host::gtk
