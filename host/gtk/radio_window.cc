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

namespace host::gtk {
namespace {

constexpr guint kRepaintMs = 100;

// A text fit for a label: valid UTF-8, control characters (the RDS record's NULs among them) as
// blanks, the blanks that pad RDS texts to their length removed at the end.
std::string Displayable(const std::string& text) {
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  std::string shown = valid;
  g_free(valid);
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  while (!shown.empty() && shown.back() == ' ') shown.pop_back();
  return shown;
}

void SetWidgetText(GtkWidget* widget, const std::string& text) {
  if (GTK_IS_LABEL(widget)) {
    if (text != gtk_label_get_text(GTK_LABEL(widget)))
      gtk_label_set_text(GTK_LABEL(widget), text.c_str());
    // A label that says nothing leaves no gap between its neighbours.
    if (gtk_widget_has_css_class(widget, "hide-when-empty"))
      gtk_widget_set_visible(widget, !text.empty());
  } else if (GTK_IS_BUTTON(widget)) {
    const char* now = gtk_button_get_label(GTK_BUTTON(widget));
    if (now != nullptr && text == now) return;
    gtk_button_set_label(GTK_BUTTON(widget), text.c_str());
    // A long text (a preset's row) wraps onto two lines rather than widen the button.
    if (GtkWidget* label = gtk_button_get_child(GTK_BUTTON(widget)); GTK_IS_LABEL(label)) {
      gtk_label_set_wrap(GTK_LABEL(label), TRUE);
      gtk_label_set_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
      gtk_label_set_lines(GTK_LABEL(label), 2);
      gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
      gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
    }
  }
}

// A label's text as a person reads it: the unit spelled "kHz", a preset's number said to be one,
// the station's clock ("2026-12-07 20:51 +01:00") as the time a radio shows.
std::string ShownLabel(const std::string& keyword, std::string text) {
  if (keyword == "mhzkhz" && text == "KHz") return "kHz";
  if (keyword == "rdsclock" && text.size() >= 16 && text[10] == ' ') return text.substr(11, 5);
  if ((keyword == "preset" || keyword == "radionumber") && !text.empty()) return "Preset " + text;
  return text;
}

// A preset's button: its name large on one line, its frequency small below ("2. 105.3 - Jazz" is
// the list's row for it); a preset without a name shows its frequency alone.
void ShowPresetButton(GtkWidget* button, const std::string& row) {
  const size_t dot = row.find(". ");
  const size_t dash = row.find(" - ", dot == std::string::npos ? 0 : dot);
  const size_t from = dot == std::string::npos ? 0 : dot + 2;
  const std::string frequency = row.substr(from, dash == std::string::npos ? dash : dash - from);
  std::string name = dash == std::string::npos ? "" : row.substr(dash + 3);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  gchar* markup =
      name.empty()
          ? g_markup_printf_escaped("<span size='large' weight='bold'>%s</span>", frequency.c_str())
          : g_markup_printf_escaped(
                "<span size='large' weight='bold'>%s</span>\n<span size='small'>%s</span>",
                name.c_str(), frequency.c_str());
  GtkWidget* label = gtk_button_get_child(GTK_BUTTON(button));
  if (!GTK_IS_LABEL(label) || gtk_button_get_label(GTK_BUTTON(button)) != nullptr) {
    label = gtk_label_new(nullptr);
    gtk_button_set_child(GTK_BUTTON(button), label);
  }
  gtk_label_set_wrap(GTK_LABEL(label), FALSE);
  gtk_label_set_justify(GTK_LABEL(label), GTK_JUSTIFY_CENTER);
  // Each line on its own, cut with "…" rather than broken inside a name.
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  if (g_strcmp0(gtk_label_get_label(GTK_LABEL(label)), markup) != 0)
    gtk_label_set_markup(GTK_LABEL(label), markup);
  gtk_widget_set_tooltip_text(button, row.c_str());
  g_free(markup);
}

void SetLevel(GtkWidget* widget, int32_t value) {
  if (value < 0) return;  // a keyword the plug-in does not answer
  const double fraction = std::clamp(value, 0, 65535) / 65535.0;
  if (GTK_IS_LEVEL_BAR(widget)) {
    GtkLevelBar* bar = GTK_LEVEL_BAR(widget);
    const double low = gtk_level_bar_get_min_value(bar), high = gtk_level_bar_get_max_value(bar);
    gtk_level_bar_set_value(bar, low + fraction * (high - low));
  } else if (GTK_IS_PROGRESS_BAR(widget)) {
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(widget), fraction);
  }
}

// Whether the artwork lookup tries ".png": the host variable "=$fastmode$" reads as -1.
bool PngTried(RadioHost& host) {
  const std::string text = host.sdk().Variable("fastmode");
  return std::lround(std::strtod(text.c_str(), nullptr)) == -1;
}

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
  gtk_window_set_child(window_, GTK_WIDGET(stack_));

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
    if (name == "night" || name == "shift") {
      const bool on = name == "night" ? night_ : smallLetters_;
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
    if (keyboardShown_ && typed != nullptr) {
      gtk_editable_set_text(typed, prompt->text().c_str());
      gtk_editable_select_region(typed, 0, -1);
    }
    gtk_stack_set_visible_child_name(stack_, keyboardShown_ ? "keyboard" : "radio");
    if (keyboardShown_ && typed != nullptr) gtk_widget_grab_focus(GTK_WIDGET(typed));
  }
  if (const auto& screen = session_.errorScreen()) {
    const ErrorScreenText shown = *screen;
    session_.DismissErrorScreen();  // the dialog is the screen from here on
    ShowDialog(shown.title, shown.body);
  }
  if (session_.question() && !questionShown_) {
    questionShown_ = true;
    AskQuestion(session_.question()->text);
  }
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
  for (GActionGroup* group : {radioActions_, keyboardActions_})
    g_simple_action_set_state(
        G_SIMPLE_ACTION(g_action_map_lookup_action(G_ACTION_MAP(group), "night")),
        g_variant_new_boolean(night));
}

void RadioWindow::SetSmallLetters(bool small) {
  smallLetters_ = small;
  ShowLetterCase(skin_->keyboard->root.get(), small);
  for (GActionGroup* group : {radioActions_, keyboardActions_})
    g_simple_action_set_state(
        G_SIMPLE_ACTION(g_action_map_lookup_action(G_ACTION_MAP(group), "shift")),
        g_variant_new_boolean(small));
}

void RadioWindow::ShowHelp() { ShowKeysHelp(window_); }

void RadioWindow::ShowDialog(const std::string& title, const std::string& text) {
  ShowMessage(window_, title, text);
}

void RadioWindow::AskQuestion(const std::string& question) {
  gtk::Ask(window_, question, [this](bool yes) {
    questionShown_ = false;
    session_.Answer(yes);
    Repaint();
  });
}

bool RadioWindow::PressKey(guint keyval) {
  if (session_.prompt() != nullptr) {
    if (keyval != GDK_KEY_Escape) return false;  // the keyboard screen's text takes the key
    Cancel();
    return true;
  }
  const KeyBinding* binding = BindingForKey(keyval);
  if (binding == nullptr) return false;
  switch (binding->action) {
    case KeyAction::Command:
      session_.Command(binding->command);
      break;
    case KeyAction::RecallPreset:
      session_.Recall(binding->preset);
      break;
    case KeyAction::HighlightUp:
      session_.MoveHighlight(-1);
      break;
    case KeyAction::HighlightDown:
      session_.MoveHighlight(1);
      break;
    case KeyAction::RecallHighlight:
      session_.RecallHighlight();
      break;
    case KeyAction::VolumeUp:
      session_.StepVolume(kVolumeStep);
      break;
    case KeyAction::VolumeDown:
      session_.StepVolume(-kVolumeStep);
      break;
    case KeyAction::CommandLine:
      session_.OpenCommandLine();
      break;
    case KeyAction::Help:
      ShowHelp();
      return true;
    case KeyAction::Quit:
      gtk_window_close(window_);
      return true;
  }
  Repaint();
  return true;
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

template <class Call>
bool RadioWindow::Query(const std::string& keyword, Call&& call) {
  try {
    call();
    return true;
  } catch (const halvane::RuntimeError& e) {
    session_.Say(ErrorMessage(e.number(), "Can't show " + keyword), true);
  } catch (const std::exception& e) {
    session_.Say("Can't show " + keyword + ": " + e.what(), true);
  }
  return false;
}

void RadioWindow::RepaintScreen(SkinScreen& screen) {
  const bool plugin = host_.HasPlugin();
  const std::vector<std::string>& rows = host_.radioScreen->list->rows;
  for (const BoundWidget& bound : screen.bindings) {
    const std::string& keyword = bound.binding.keyword;
    switch (bound.binding.kind) {
      case BindingKind::Label: {
        if (!plugin) break;
        std::string lbl = keyword, fmt, text;
        // A tuner that did not start: words instead of its zero frequency.
        if (!session_.tunerProblem().empty() &&
            (keyword == "frequency" || keyword == "fmam" || keyword == "mhzkhz"))
          SetWidgetText(bound.widget, keyword == "frequency" ? session_.tunerProblem() : "");
        else if (Query(keyword, [&] { text = host_.Radio().ReturnLabel(lbl, fmt); }))
          SetWidgetText(bound.widget, ShownLabel(keyword, Displayable(text)));
        break;
      }
      case BindingKind::Indicator: {
        if (!plugin) break;
        std::string ind = keyword, answer;
        if (!Query(keyword, [&] { answer = host_.Radio().ReturnIndicatorEx(ind); })) break;
        const bool on = answer == "True";
        if (on)
          gtk_widget_add_css_class(bound.widget, "on");
        else
          gtk_widget_remove_css_class(bound.widget, "on");
        // A banner (the traffic announcement) takes its room only while it has something to say.
        if (gtk_widget_has_css_class(bound.widget, "only-when-on"))
          gtk_widget_set_visible(bound.widget, on);
        break;
      }
      case BindingKind::Slider: {
        if (!plugin) break;
        std::string sld = keyword;
        int32_t value = -1;
        if (Query(keyword, [&] { value = host_.Radio().ReturnSlider(sld); }))
          SetLevel(bound.widget, value);
        break;
      }
      case BindingKind::Artwork: {
        if (!plugin) break;
        std::string ind = keyword, answer;
        int32_t freq = 0;
        if (!Query(keyword, [&] {
              answer = host_.Radio().ReturnIndicatorEx(ind);
              freq = host_.Radio().Freq();
            }))
          break;
        pictures_[bound.widget].Show(bound.widget, answer, std::to_string(freq), PngTried(host_));
        break;
      }
      case BindingKind::Row: {
        // An empty row shows its number, so a preset button never goes blank.
        const size_t row = std::strtoul(keyword.c_str(), nullptr, 10);
        if (GTK_IS_BUTTON(bound.widget) && row >= 1 && row <= rows.size())
          ShowPresetButton(bound.widget, Displayable(rows[row - 1]));
        else
          SetWidgetText(bound.widget,
                        row >= 1 && row <= rows.size() ? Displayable(rows[row - 1]) : keyword);
        break;
      }
      case BindingKind::Host:
        if (keyword == "error") SetWidgetText(bound.widget, session_.message());
        if (keyword == "volume") {
          const std::optional<int32_t> volume = session_.volume();
          SetWidgetText(bound.widget, volume ? std::to_string(*volume) + "%" : "");
        }
        if (keyword == "prompt")
          SetWidgetText(bound.widget, session_.prompt() ? session_.prompt()->Title() : "");
        break;
    }
  }
}

}  // namespace host::gtk
