// Repainting the shown screen: every bound widget asked of the plug-in (or the host) and shown.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "driver_reception.h"
#include "halvane/errors.h"
#include "radio_window.h"
#include "station_text.h"

namespace host::gtk {
namespace {

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
  if (keyword == "mhzkhz") return ShownUnit(text);
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
  std::optional<DriverReception> reception;  // asked of the driver once a repaint, if at all
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
          SetWidgetText(bound.widget, ShownLabel(keyword, CleanStationText(text)));
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
          ShowPresetButton(bound.widget, CleanStationText(rows[row - 1]));
        else
          SetWidgetText(bound.widget,
                        row >= 1 && row <= rows.size() ? CleanStationText(rows[row - 1]) : keyword);
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
        if (keyword == "quality" || keyword == "blend") {
          if (!reception)
            reception = plugin ? ReadDriverReception(host_.DriverPath()) : DriverReception{};
          ShowReception(bound.widget, keyword, *reception);
        }
        break;
    }
  }
}

void RadioWindow::ShowReception(GtkWidget* widget, const std::string& keyword,
                                const DriverReception& reception) {
  if (keyword == "quality") {
    SetWidgetText(widget, QualityText(reception));
    return;
  }
  // The blend is told beside the stereo indicator, only while it is on.
  std::string ind = "stereo", answer;
  if (reception.stereoPercent &&
      !Query(keyword, [&] { answer = host_.Radio().ReturnIndicatorEx(ind); }))
    return;
  SetWidgetText(widget, BlendText(answer == "True", reception));
}

}  // namespace host::gtk
