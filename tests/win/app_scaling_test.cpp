// The program at a display scaling: its window, its panes and its dialogs hold
// every control, and every label reads whole in its font. CTest runs these
// tests at 96 dpi with the others, and at 120, 144 and 192 dpi as
// wine.dpi.N, which switches the session's scaling and names it in
// MIRTH_TEST_DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/test_support.h"

namespace {

UINT TestDpi()
{
    char value[16] = "";
    return GetEnvironmentVariableA("MIRTH_TEST_DPI", value, sizeof value) ? std::atoi(value) : 96;
}

int Scaled(int pixels)
{
    return MulDiv(pixels, TestDpi(), 96);
}

int ScaledUp(int pixels)
{
    return (pixels * static_cast<int>(TestDpi()) + 95) / 96;
}

bool Inside(const RECT& inner, const RECT& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string Name(HWND control)
{
    return std::to_string(GetDlgCtrlID(control)) + " \"" + WindowText(control) + "\"";
}

// Every control in `parent`, and every control in those, lies wholly inside
// the client area of the window that holds it.
void ExpectControlsInside(HWND parent, const std::string& what)
{
    RECT client;
    GetClientRect(parent, &client);
    for (HWND control : Children(parent)) {
        RECT rect = RectInParent(control);
        EXPECT_TRUE(Inside(rect, client)) << what << ": control " << Name(control) << " at " << Describe(rect)
                                          << " is not inside the client area " << Describe(client);
        ExpectControlsInside(control, what + ", in control " + Name(control));
    }
}

INT_PTR CALLBACK NoDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// A copy of one of the program's dialog templates, made in this process from
// the program's own resources at the same DPI: its controls have the font
// that the dialog manager gives the program's.
class TemplateCopy {
public:
    TemplateCopy(const char* name, bool child)
    {
        module_ = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        if (child)
            parent_ = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
        dialog_ = CreateDialogParamA(module_, name, parent_, NoDialogProc, 0);
    }
    ~TemplateCopy()
    {
        DestroyWindow(dialog_);
        if (parent_)
            DestroyWindow(parent_);
        FreeLibrary(module_);
    }
    HWND dialog() const { return dialog_; }
    // The control with the label's ID and text (labels without an ID share -1).
    HWND TwinOf(HWND label) const
    {
        for (HWND control : Children(dialog_))
            if (GetDlgCtrlID(control) == GetDlgCtrlID(label) && WindowText(control) == WindowText(label))
                return control;
        return nullptr;
    }

private:
    HMODULE module_ = nullptr;
    HWND parent_ = nullptr;
    HWND dialog_ = nullptr;
};

// The size rules at this DPI: the strip at the top, the Mail pane a scaled
// 5-pixel gap below it, the body 5 menu bars less 15 pixels into the pane,
// below the subject field.
void ExpectPanesLaidOut(const MirthApp& app)
{
    RECT client, panel = RectInParent(app.panel()), mail = RectInParent(app.mail());
    GetClientRect(app.window(), &client);
    EXPECT_EQ(panel.left, 0);
    EXPECT_EQ(panel.top, 0);
    EXPECT_EQ(panel.right, client.right);
    EXPECT_EQ(mail.top - panel.bottom, Scaled(5)) << "the gap between the panes";
    EXPECT_EQ(mail.right, client.right);
    EXPECT_EQ(mail.bottom, client.bottom);
    RECT body = RectInParent(app.Field(IDC_BODY)), subject = RectInParent(app.Field(IDC_SUBJECT));
    EXPECT_EQ(body.top, 5 * GetSystemMetricsForDpi(SM_CYMENU, TestDpi()) - 15);
    EXPECT_GE(body.top, subject.bottom) << "the body covers the subject field";
    ExpectControlsInside(app.panel(), "button strip");
    ExpectControlsInside(app.mail(), "Mail pane");
}

// At a first start every control of a pane ends at least as far inside the
// pane's client area as at 96 dpi, scaled and rounded up; the layout stretches
// the body field to the edge.
void ExpectRightMargins(const MirthApp& app)
{
    struct PaneMargin {
        HWND pane;
        const char* what;
        int margin;  // at 96 dpi
    };
    const PaneMargin panes[] = {{app.panel(), "button strip", 6}, {app.mail(), "Mail pane", 10}};
    for (const PaneMargin& pane : panes) {
        RECT client;
        GetClientRect(pane.pane, &client);
        for (HWND control : Children(pane.pane)) {
            if (GetDlgCtrlID(control) == IDC_BODY)
                continue;
            RECT rect = RectInParent(control);
            EXPECT_GE(client.right - rect.right, ScaledUp(pane.margin))
                << pane.what << ": control " << Name(control) << " at " << Describe(rect) << " in the client area "
                << Describe(client);
        }
    }
}

class Scaling : public testing::Test {
protected:
    void SetUp() override
    {
        HDC screen = GetDC(nullptr);
        UINT dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi, TestDpi()) << "the session's display scaling";
        ClearSettings();
    }
    void TearDown() override { ClearSettings(); }

    TestFolder folder_;
};

TEST_F(Scaling, AFirstStartOpensAtTheDefaultSizeForTheDpiAndTheNextAtThoseSamePixels)
{
    RECT shown;
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        shown = WindowRect(app.window());
        RECT client;
        GetClientRect(app.window(), &client);
        EXPECT_EQ(shown.left, 50);
        EXPECT_EQ(shown.top, 50);
        EXPECT_EQ(shown.bottom - shown.top, Scaled(450));
        // Dialog units are whole pixels of the font's letters and may make the
        // panes' templates a little wider than the DPI alone: then the window
        // is widened to the widest template, and no more.
        LONG widest = 0;
        for (const char* name : {"PANEL", "Mail"}) {
            TemplateCopy copy(name, true);
            RECT size;
            GetClientRect(copy.dialog(), &size);
            widest = std::max(widest, size.right);
        }
        if (TestDpi() == 96) {
            EXPECT_EQ(shown.right - shown.left, 580);
        } else if (shown.right - shown.left != Scaled(580)) {
            EXPECT_EQ(client.right, widest) << "widened by more than the panes' templates need";
        }
        EXPECT_GE(shown.right - shown.left, Scaled(580));

        RECT work;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(Inside(shown, work)) << Describe(shown) << " is not inside the work area " << Describe(work);
        ExpectPanesLaidOut(app);
        ExpectRightMargins(app);
        EXPECT_EQ(app.Close(), 0u);
    }
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    RECT again = WindowRect(app.window());
    EXPECT_TRUE(EqualRect(&again, &shown)) << "stored " << Describe(shown) << ", shown again at " << Describe(again);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(Scaling, AStoredPlacementIsKeptInPixels)
{
    StoreDword("X", 120);
    StoreDword("Y", 80);
    StoreDword("Width", 640);
    StoreDword("Height", 480);
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    RECT shown = WindowRect(app.window()), want = {120, 80, 760, 560};
    EXPECT_TRUE(EqualRect(&shown, &want)) << Describe(shown);
    EXPECT_EQ(app.Close(), 0u);
}

// Wine never sends WM_DPICHANGED; the test sends it as Windows does when the
// window moves to a monitor of another scaling (here one of the same DPI, as
// Wine has one monitor).
TEST_F(Scaling, ADpiChangeTakesTheSuggestedRectangleAndLaysThePanesOutAgain)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    RECT suggested = {Scaled(30), Scaled(40), Scaled(30 + 700), Scaled(40 + 520)};
    app.SendDpiChanged(TestDpi(), suggested);
    EXPECT_TRUE(WaitUntil([&] {
        RECT shown = WindowRect(app.window());
        return EqualRect(&shown, &suggested) != 0;
    })) << "shown at " << Describe(WindowRect(app.window()));
    Sleep(200);  // the layout runs again from a posted message
    ExpectPanesLaidOut(app);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(Scaling, TheSettingsDialogAndTheAboutBoxHoldEveryControl)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    for (int command : {CMD_SETTINGS, CMD_ABOUT}) {
        app.Post(command);
        HWND dialog = app.WaitForOwnedDialog();
        ASSERT_TRUE(dialog) << "command " << command;
        ExpectControlsInside(dialog, WindowText(dialog));
        ASSERT_TRUE(PressAndClose(dialog, IDCANCEL));
    }
    EXPECT_EQ(app.Close(), 0u);
}

bool IsTextLabel(HWND control)
{
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    return lstrcmpiA(className, "Static") == 0 && type <= SS_RIGHT && !WindowText(control).empty();
}

// Every line of every text label of `dialog` (a window of the program) fits
// the label's width in the label's font, and no line starts below it.
void ExpectLabelsWhole(HWND dialog, const char* templateName, bool child)
{
    TemplateCopy copy(templateName, child);
    HDC screen = GetDC(nullptr);
    int labels = 0;
    for (HWND label : Children(dialog)) {
        if (!IsTextLabel(label))
            continue;
        ++labels;
        std::string text = WindowText(label);
        HWND twin = copy.TwinOf(label);
        ASSERT_TRUE(twin) << templateName << ": \"" << text << "\"";
        RECT client, twinClient;
        GetClientRect(label, &client);
        GetClientRect(twin, &twinClient);
        EXPECT_TRUE(EqualRect(&client, &twinClient)) << "\"" << text << "\": the copy is laid out differently";

        HGDIOBJ previous = SelectObject(screen, reinterpret_cast<HFONT>(SendMessageA(twin, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics;
        GetTextMetricsA(screen, &metrics);
        int line = 0;
        for (size_t start = 0; start <= text.size(); ++line) {
            size_t end = text.find('\n', start);
            std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            SIZE extent;
            GetTextExtentPoint32A(screen, part.c_str(), static_cast<int>(part.size()), &extent);
            EXPECT_LE(extent.cx, client.right) << templateName << ": \"" << part << "\" is cut off";
            EXPECT_LT(line * metrics.tmHeight, client.bottom) << templateName << ": \"" << part << "\" is hidden";
            start = end == std::string::npos ? text.size() + 1 : end + 1;
        }
        SelectObject(screen, previous);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(labels, 0) << templateName;
}

TEST_F(Scaling, EveryLabelReadsWhole)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    ExpectLabelsWhole(app.mail(), "Mail", true);
    app.Post(CMD_SETTINGS);
    HWND dialog = app.WaitForOwnedDialog();
    ASSERT_TRUE(dialog);
    ExpectLabelsWhole(dialog, "CONFIG", false);
    ASSERT_TRUE(PressAndClose(dialog, IDCANCEL));
    app.Post(CMD_ABOUT);
    dialog = app.WaitForOwnedDialog();
    ASSERT_TRUE(dialog);
    ExpectLabelsWhole(dialog, "AboutDlg", false);
    ASSERT_TRUE(PressAndClose(dialog, IDOK));
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
