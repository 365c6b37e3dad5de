// The setup dialog from the program's own template on the real window system: what the user sees for what was
// found, the install button, colours and fonts, the ways out, and start-up around it.
#include "app/WizardApp.h"
#include "app/setupdlg/SetupDlg.h"
#include "app/setupdlg/res/resource.h"

#include <map>

#include "tests/win/TestPlatform.h"

namespace {

int BoxOf(int year) { return setupdlg::kReleaseBoxes[acad::ReleaseIndex(year)]; }

class SetupDialogTest : public wt::MachineTest {
 protected:
  void Found(int year) {
    box.AddAcad(L"SOFTWARE\\Autodesk\\AutoCAD\\R" + std::to_wstring(year) + L"\\P",
                box.Path("A" + std::to_string(year)), L"AutoCAD " + std::to_wstring(year));
  }
  std::intptr_t Run(const std::function<void(HWND)>& user, int bits = 32) {
    acad.DiscoverReleases();
    Dlg_Setup dlg(os.platform, acad, 0, bits, kSetupVersion);
    const std::intptr_t result = os.RunDialog([&] { return dlg.DoModal(); }, user);
    path = dlg.m_strPath;
    return result;
  }

  CAcadSetup acad{os.platform};
  std::string path;
};

// Found: enabled, ticked; not found: greyed, clear; the 32-bit edition has no box for 2017 on. Each year's box is
// the template's box of that caption (2010 and 2011 swap ids).
TEST_F(SetupDialogTest, TheFirstScreenFollowsWhatWasFound) {
  for (int year : {2008, 2010, 2016, 2020}) Found(year);
  for (int bits : {32, 64}) {
    Run(
        [&](HWND d) {
          EXPECT_EQ(wt::TextOf(d), "Vellmark-结构工具箱安装");
          LOGFONTA font{};  // the template's: SimSun at 9 points, 96 dots to the inch
          ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(d, WM_GETFONT, 0, 0)), sizeof font, &font);
          EXPECT_EQ(font.lfFaceName + std::to_string(font.lfHeight), "宋体-12");
          EXPECT_EQ(wt::TextOf(::GetDlgItem(d, IDC_TITLE)), "结构工具箱软件 V2025.03.02");
          EXPECT_EQ(wt::TextOf(::GetDlgItem(d, IDC_EDITION)), ComposeEditionText(bits));
          EXPECT_EQ(wt::TextOf(::GetDlgItem(d, IDC_PATH)), "C:\\Kavtor");
          for (int year = acad::kFirstRelease; year <= acad::kLastRelease; ++year) {
            const bool found = year == 2008 || year == 2010 || year == 2016 || year == 2020;
            const bool shown = bits == 64 || year < 2017;
            EXPECT_EQ(wt::TextOf(::GetDlgItem(d, BoxOf(year))), "For AutoCAD" + std::to_string(year));
            EXPECT_EQ(wt::IsEnabled(d, BoxOf(year)), found) << bits << " " << year;
            EXPECT_EQ(wt::IsChecked(d, BoxOf(year)), found && shown) << bits << " " << year;
            EXPECT_EQ(wt::IsShown(d, BoxOf(year)), shown) << bits << " " << year;
          }
          EXPECT_TRUE(wt::IsEnabled(d, IDC_INSTALL));
          EXPECT_FALSE(wt::IsShown(d, IDC_PROGRESS));
          EXPECT_FALSE(wt::IsShown(d, IDOK));
          EXPECT_NE(::SendMessageA(d, WM_GETICON, ICON_SMALL, 0), 0) << "the small icon";
          wt::Click(d, IDCANCEL);
        },
        bits);
  }
}

TEST_F(SetupDialogTest, TheInstallButtonFollowsTheBoxes) {
  Found(2008);
  Found(2010);
  Found(2020);  // hidden in the 32-bit edition: it never counts
  Run([](HWND d) {
    wt::Click(d, BoxOf(2008));
    EXPECT_TRUE(wt::IsEnabled(d, IDC_INSTALL)) << "2010 still ticked";
    wt::Click(d, BoxOf(2010));
    EXPECT_FALSE(wt::IsEnabled(d, IDC_INSTALL)) << "the last box unticked";
    ::SetWindowTextA(::GetDlgItem(d, IDC_PATH), "D:\\Else");
    EXPECT_FALSE(wt::IsEnabled(d, IDC_INSTALL)) << "typing alone changes nothing";
    wt::Click(d, BoxOf(2010));
    EXPECT_TRUE(wt::IsEnabled(d, IDC_INSTALL));
    wt::Click(d, IDCANCEL);
  });
}

TEST_F(SetupDialogTest, NothingFoundLeavesOnlyCancel) {
  EXPECT_EQ(Run([](HWND d) {
              for (int box : setupdlg::kReleaseBoxes) EXPECT_FALSE(wt::IsEnabled(d, box)) << box;
              EXPECT_FALSE(wt::IsEnabled(d, IDC_INSTALL));
              wt::Click(d, IDCANCEL);
            }),
            IDCANCEL);
}

// Keys and the close box go through the dialog manager, as a user's do.
TEST_F(SetupDialogTest, EnterEndsWithOkEscapeAndTheCloseBoxWithCancel) {
  Found(2010);
  auto press = [](UINT key) {
    return [key](HWND d) {
      ::SetWindowTextA(::GetDlgItem(d, IDC_PATH), "D:\\Typed");
      if (key == 0)
        ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
      else
        ::PostMessageA(::GetDlgItem(d, IDC_PATH), WM_KEYDOWN, key, 0);
      wt::WaitFor([d] { return !::IsWindowVisible(d); });
    };
  };
  EXPECT_EQ(Run(press(VK_RETURN)), IDOK);
  EXPECT_EQ(path, "D:\\Typed") << "OK reads the fields";
  EXPECT_EQ(Run(press(VK_ESCAPE)), IDCANCEL);
  EXPECT_EQ(Run(press(0)), IDCANCEL);
  EXPECT_TRUE(os.boxes.empty()) << "nothing was installed";
}

// The colour handler over a real drawing context: the background brush for everything, transparent but for the
// edit box, black text but for the title and edition, in their fonts. Drawing again makes no new objects, and they
// are gone with the dialog.
TEST_F(SetupDialogTest, ColoursAndFonts) {
  struct Case {
    int id;
    UINT message;
    COLORREF text;
    int mode, height, weight;
  } const cases[] = {{IDC_TITLE, WM_CTLCOLORSTATIC, RGB(10, 70, 40), TRANSPARENT, 14, 600},
                     {IDC_EDITION, WM_CTLCOLORSTATIC, RGB(10, 70, 40), TRANSPARENT, 13, 400},
                     {IDC_COMPONENTS_LABEL, WM_CTLCOLORSTATIC, RGB(0, 0, 0), TRANSPARENT, 0, 0},
                     {IDC_PATH, WM_CTLCOLOREDIT, RGB(0, 0, 0), OPAQUE, 0, 0}};
  std::map<int, std::pair<HGDIOBJ, HGDIOBJ>> made;  // by control: the brush and font of the first round
  Run([&](HWND d) {
    for (int round = 0; round < 2; ++round)
      for (const Case& c : cases) {
        const HWND control = ::GetDlgItem(d, c.id);
        const HDC dc = ::GetDC(control);
        ::SetTextColor(dc, RGB(1, 2, 3));
        LOGBRUSH brush{};
        LOGFONTA font{};
        const LRESULT given =
            ::SendMessageA(d, c.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
        ::GetObjectA(reinterpret_cast<HGDIOBJ>(given), sizeof brush, &brush);
        ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
        EXPECT_EQ(brush.lbColor, RGB(160, 180, 220)) << c.id;
        EXPECT_EQ(::GetTextColor(dc), c.text) << c.id;
        EXPECT_EQ(::GetBkMode(dc), c.mode) << c.id;
        const bool ours =
            font.lfHeight == c.height && font.lfWeight == c.weight && font.lfFaceName == std::string("宋体");
        EXPECT_TRUE(c.height == 0 || ours) << c.id;
        const std::pair<HGDIOBJ, HGDIOBJ> objects{reinterpret_cast<HGDIOBJ>(given), ::GetCurrentObject(dc, OBJ_FONT)};
        if (round == 0) made[c.id] = objects;
        EXPECT_EQ(made[c.id], objects) << c.id << ": made once";
        ::ReleaseDC(control, dc);
      }
    wt::Click(d, IDCANCEL);
  });
  for (const Case& c : {cases[0], cases[1]}) {
    EXPECT_EQ(::GetObjectType(made[c.id].first), 0u) << "the brush is deleted with the dialog";
    EXPECT_EQ(::GetObjectType(made[c.id].second), 0u) << c.id << ": the font is deleted with the dialog";
  }
}

TEST_F(SetupDialogTest, StartUpDiscoversThenRunsTheDialogAndReturnsFalse) {
  Found(2010);
  CWizardApp app(os.platform, acad);
  bool enabled = false;
  HRESULT com = S_OK;
  EXPECT_EQ(os.RunDialog([&] { return static_cast<std::intptr_t>(app.InitInstance()); },
                         [&](HWND d) {
                           enabled = wt::IsEnabled(d, BoxOf(2010));
                           // The browse window needs COM apartment-threaded on this thread.
                           com = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                           if (SUCCEEDED(com)) ::CoUninitialize();
                           wt::Click(d, IDCANCEL);
                         }),
            0);
  EXPECT_TRUE(enabled) << "discovery ran before the dialog";
  EXPECT_EQ(com, RPC_E_CHANGED_MODE) << "COM initialised apartment-threaded before the dialog";
  EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK) << "and left as it was found";
  ::CoUninitialize();
}

// The framework's window object, under the dialog and the picker: a window is one object's at a time, and gets its
// own procedure back when that object goes first.
TEST(WndTest, AWindowIsOneObjectsAndGetsItsProcedureBackWhenTheObjectGoes) {
  const HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  const LONG_PTR own = ::GetWindowLongPtrA(edit, GWLP_WNDPROC);
  {
    fw::CWnd first, second;
    ASSERT_TRUE(first.SubclassWindow(edit));
    EXPECT_FALSE(second.SubclassWindow(edit));
    EXPECT_NE(::GetWindowLongPtrA(edit, GWLP_WNDPROC), own);
  }
  EXPECT_EQ(::GetWindowLongPtrA(edit, GWLP_WNDPROC), own);
  ::DestroyWindow(edit);
}

// A check box takes 0, 1 or 2 from its value; a stray value clears it (Wine's button would show its highest state).
TEST(WndTest, ACheckBoxTakesOnlyItsOwnStates) {
  const HWND parent = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  const HWND box = ::CreateWindowExA(0, "BUTTON", "", WS_CHILD | BS_AUTO3STATE, 0, 0, 10, 10, parent,
                                     reinterpret_cast<HMENU>(7), nullptr, nullptr);
  fw::CDataExchange exchange{parent, false};
  std::vector<LRESULT> states;
  for (int value : {2, 5, 1, -1}) {
    fw::DDX_Check(&exchange, 7, value);
    states.push_back(::SendMessageA(box, BM_GETCHECK, 0, 0));
  }
  EXPECT_EQ(states, (std::vector<LRESULT>{2, 0, 1, 0}));
  ::DestroyWindow(parent);
}

}  // namespace
