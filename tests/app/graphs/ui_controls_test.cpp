// The controls window of a document driven by input: numbers typed into its fields and
// committed, check boxes and popups, colours marked in the preview. Alerts are read as
// shown; after every change the fields, the preview and the saved GIF must agree.
#include <random>
#include <set>

#include "app/colour/ColourTable.h"
#include "app/colour/Passes.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/graphs/GraphRecord.h"
#include "app/graphs/MeasureGraphs.h"
#include "app/shell/SaveDocument.h"
#include "jindep/memory.h"
#include "jindep/Ji_prinf.h"
#include "jindep/string_lists.h"
#include "jwin/pixel_map.h"
#include "platform/Bitmap.h"
#include "tests/app/shell/documents_fixture.h"

namespace {

class Controls : public DocumentsTest {
 protected:
  Document* picture(int colours, int width = 60, int height = 40) {
    writeBmp("p.bmp", width, height, Pattern(width, height, colours));
    Document* d = open("p.bmp");
    EXPECT_NE(d, nullptr);
    EXPECT_NE(d->controls, nullptr);
    return d;
  }
  platform::Point at(const JWidget* w) {
    const platform::Rect c = client(w->window);
    return {c.left + w->x + w->width / 2, c.top + w->y + w->height / 2};
  }
  void click(const JWidget* w) {
    input().click(at(w).x, at(w).y);
    drain();
  }
  // Types into a field as a user does (click, select all, type, Return) and answers the
  // alert shown, dismissing it.
  std::string commit(JWidget* field, const std::string& text) {
    JSelectWindow(field->window);
    click(field);
    input().key(platform::wm::kKeyHome);
    input().key(platform::wm::kKeyEnd, 0, platform::wm::kShift);
    input().type(text);
    input().key(platform::wm::kKeyReturn, 13);
    drain();
    const std::string shown = messageShown();
    if (!shown.empty()) {
      input().key(platform::wm::kKeyReturn, 13);
      drain();
    }
    return shown;
  }
  // Idle steps, in which the size estimate measures its passes.
  void idle() {
    for (int i = 0; i < 20; ++i) {
      input().virtualClock().advance(20);
      JEventStep(nullptr, false);
    }
  }
  static std::string text(JWidget* field) { return JGetFieldText(field); }
  static std::string alert(JStringId id, const char* arg = nullptr) {
    return arg ? std::string(JFormatTemp(JStr(id), arg)) : std::string(JStr(id));
  }
};

// What typing into the number fields (or asking for transparency) does, with the alert
// each answer shows.
// Opening a document opens its controls beside the preview; closing the controls closes
// the document and gives back everything it took.
TEST_F(Controls, TheWindowSitsBesideThePreviewAndClosingItClosesTheDocument) {
  // A first document sets up what lives for the run (the GIF writer's tables, strings).
  picture(5);
  idle();
  CloseAllDocuments();
  drain();
  const uint64_t bytes = JMemBytesInUse();
  Document* d = picture(5);
  idle();
  JWindow* controls = d->controls->window;
  EXPECT_STREQ(controls->title, "p (Controls)");
  EXPECT_EQ(JGetWindowFrame(controls).left, JGetWindowFrame(d->window).right + 5);
  EXPECT_EQ(JGetWindowFrame(controls).top, JGetWindowFrame(d->window).top);
  clickCloseBox(controls);
  drain();
  EXPECT_EQ(OpenDocumentCount(), 0u);
  EXPECT_EQ(JMemBytesInUse(), bytes) << "everything the document took is given back";
  // A preview as wide as the desktop leaves no room beside it: the panel stays within reach.
  d = picture(5, 2000, 40);
  idle();
  const JRect area = JMainWindowContent(), frame = JGetWindowFrame(d->controls->window);
  EXPECT_EQ(frame.right, area.right - area.left);
  OpenQualityGraph(d);  // and a graph cascading from the panel stays inside too
  idle();
  EXPECT_LE(JGetWindowFrame(d->graphs[0]->graphWindow).right, area.right - area.left);
}

TEST_F(Controls, TypedNumbersAreCheckedAlertedAndBroughtIntoRange) {
  const char* kTransparency = nullptr;  // the check box is clicked instead of typing
  const struct {
    int colours;
    bool global;
    bool passes;  // typed into the passes field
    const char* typed;
    std::string alert;
    const char* coloursAfter;
    const char* passesAfter;
  } cases[] = {
      {5, false, false, "3  ", "", "3", "1"},
      {5, false, false, "3a", alert(kStrColoursNotInteger, "3a"), "5", "1"},
      {5, false, false, "-1", alert(kStrColoursNegative), "5", "1"},
      {5, false, false, "0", "", "0", "0"},
      {5, false, false, "9", alert(kStrMoreColoursThanPresent), "5", "1"},
      {300, true, false, "1000", alert(kStrGlobalTableLimit), "256", "1"},
      {200, true, false, "300", alert(kStrMoreColoursThanPresent), "200", "1"},
      {300, false, true, "5", alert(kStrTooManyPasses), "300", "2"},
      {300, true, true, "3", alert(kStrGlobalTablePasses), "256", "1"},
      {300, false, true, "x", alert(kStrPassesNotInteger, "x"), "300", "2"},
      {300, false, true, "-2", alert(kStrPassesNegative), "300", "2"},
      {300, false, true, "1", "", "256", "1"},
      {5, false, false, kTransparency, alert(kStrClickForTransparency), "5", "1"},  // no colour marked
  };
  for (const auto& c : cases) {
    Document* d = picture(c.colours);
    ASSERT_NE(d, nullptr);
    if (c.global) click(d->controls->globalTable);
    const int beeps = input().beeps();
    JWidget* field = c.passes ? d->controls->passesField : d->controls->coloursField;
    if (c.typed == kTransparency) {
      click(d->controls->transparency);
      EXPECT_EQ(messageShown(), c.alert);
      input().key(platform::wm::kKeyReturn, 13);
      drain();
      EXPECT_EQ(JToggleState(d->controls->transparency) + d->transparencyOn, 0);
    } else {
      EXPECT_EQ(commit(field, c.typed), c.alert) << c.typed;
    }
    const std::string row = c.typed ? c.typed : "transparency";
    EXPECT_EQ(input().beeps() - beeps, c.alert.empty() ? 0 : 1) << row;
    EXPECT_EQ(text(d->controls->coloursField), c.coloursAfter) << row;
    EXPECT_EQ(text(d->controls->passesField), c.passesAfter) << row;
    EXPECT_EQ(std::to_string(d->colourCount), c.coloursAfter) << row;
    EXPECT_STREQ(JLabelText(d->controls->passesUnit), std::string(c.passesAfter) == "1" ? "pass" : "passes");
    if (!c.alert.empty() && c.alert.rfind("Sorry", 0) == 0) {
      EXPECT_EQ(JFocus(field->window), field) << "refused text is selected for typing again";
      EXPECT_TRUE(JFieldHasSelection(field));
    }
    CloseAllDocuments();
  }
}

// Random edits through the window; after each the fields show the document's numbers,
// the preview shows exactly that many colours of the picture, and the saved GIF decodes
// to the preview with the marked colours left out.
TEST_F(Controls, RandomEditsKeepFieldsPreviewAndFileInStep) {
  const int width = 48, height = 30, colours = 320;
  const std::vector<uint32_t> source = Pattern(width, height, colours);
  Document* d = picture(colours, width, height);
  ASSERT_NE(d, nullptr);
  ControlsPanel* p = d->controls;
  std::mt19937 random(19);
  const platform::Rect preview = client(d->window);
  for (int step = 0; step < 60; ++step) {
    switch (random() % 6) {
      case 0: commit(p->coloursField, std::to_string(random() % (colours + 20))); break;
      case 1: commit(p->passesField, std::to_string(random() % 4)); break;
      case 2:
        JSelectWindow(p->window);
        JSetFocus(p->window, random() % 2 ? p->firstPopup : p->laterPopup);
        input().key(random() % 2 ? platform::wm::kKeyUp : platform::wm::kKeyDown);
        drain();
        break;
      case 3: click(std::vector<JWidget*>{p->interlaceFirst, p->interlaceLater, p->globalTable}[random() % 3]); break;
      case 4:
        input().click(preview.left + static_cast<int>(d->centreX + random() % width),
                      preview.top + static_cast<int>(d->centreY + random() % height));
        drain();
        break;
      default:
        click(p->transparency);
        if (!messageShown().empty()) input().key(platform::wm::kKeyReturn, 13);
        drain();
        break;
    }
    ASSERT_EQ(text(p->coloursField), std::to_string(d->colourCount)) << step;
    ASSERT_EQ(text(p->passesField), std::to_string(DocumentPasses(d))) << step;
    uint32_t available = 0, transparent = 0;
    AvailableColours(d, &available, &transparent);
    ASSERT_LE(d->colourCount, available);
    std::set<uint32_t> marked;
    for (uint32_t i = 0; i < d->transparentList.count; ++i) marked.insert(d->colourTable->records[d->transparentList.indices[i]].colour);
    std::set<uint32_t> shown;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if (!d->transparencyOn || !marked.count(source[static_cast<size_t>(y) * width + x]))
          shown.insert(d->pictureMap->bitmap->row32(y)[x] & 0xFFFFFF);
    if (d->colourCount > 0) {
      ASSERT_EQ(shown.size(), d->colourCount) << step;
    }
    // A save of no colours is an empty screen, checked by the save tests.
    if (step % 8 != 7 || d->colourCount == 0) continue;
    JFileSpec* outFile = fileSpec("out.gif");
    ASSERT_TRUE(SaveDocumentAsGif(d, outFile));
    JFileSpecFree(outFile);
    const giftest::Screen s = giftest::DecodeScreen(readFile("out.gif"));
    ASSERT_TRUE(s.ok) << step;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const uint32_t got = s.pixels[static_cast<size_t>(y) * width + x];
        const bool clear = (d->transparencyOn && marked.count(source[static_cast<size_t>(y) * width + x]));
        ASSERT_EQ(got, clear ? giftest::kUnset : d->pictureMap->bitmap->row32(y)[x] & 0xFFFFFF) << step << " " << x << "," << y;
      }
  }
}

}  // namespace
