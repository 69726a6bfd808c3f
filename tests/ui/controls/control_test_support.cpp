#include "control_test_support.h"

#include <cstdio>

#include "package_builder.h"
#include "win32_pixels.h"

namespace control_testing {

namespace {

// The sheet is a row of blocks, each kBlockWidth wide and kSheetHeight tall in one colour.
// Styles sample inside a block, away from its edges, so a stretch never picks up a neighbour.
constexpr int kBlockWidth = 16;
constexpr int kSheetHeight = 104;
constexpr COLORREF kBlocks[] = {kNormal,      kGrayed,     kLighted, kPressed,    kFocused,
                                kTrack,       kFill,       kTopStrip, kLeftStrip, kRightStrip,
                                kBottomStrip, kClient,     kPaneColour, kCloseColour};
constexpr int kBlockCount = sizeof kBlocks / sizeof kBlocks[0];

int BlockOf(COLORREF colour)
{
    for (int i = 0; i < kBlockCount; ++i)
        if (kBlocks[i] == colour)
            return i;
    return -1;
}

// An image style object drawing the block of a colour from a w × h source piece.
std::string Block(COLORREF colour, int w = 4, int h = 4)
{
    char text[96];
    snprintf(text, sizeof text, R"({"bi": 100, "bg": [%d, 2, %d, %d]})", BlockOf(colour) * kBlockWidth + 3, w, h);
    return text;
}

std::string Sheet()
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < kSheetHeight; ++y)
        for (int i = 0; i < kBlockCount; ++i)
            for (int x = 0; x < kBlockWidth; ++x)
                pixels.push_back(testing_pixels::Argb(255, GetRValue(kBlocks[i]), GetGValue(kBlocks[i]),
                                                      GetBValue(kBlocks[i])));
    return testing_pixels::MakePng(kBlockCount * kBlockWidth, kSheetHeight, pixels, true);
}

std::string ButtonStates()
{
    return R"("normal": )" + Block(kNormal) + R"(, "grayed": )" + Block(kGrayed) + R"(, "lighted": )" +
           Block(kLighted) + R"(, "pressed": )" + Block(kPressed) + R"(, "focused": )" + Block(kFocused);
}

std::string Document()
{
    const std::string white = std::to_string(kCaptionColour);
    const std::string yellow = std::to_string(kGrayedCaptionColour);
    const std::string textStyles = R"("Text": {"margin": [10, 5, 10, 5],
        "normal": {"cr": )" + white + R"(, "al": 37, "tx": "not drawn"},
        "grayed": {"cr": )" + yellow + R"(, "al": 37},
        "lighted": {"cr": )" + white + R"(, "al": 37},
        "pressed": {"cr": )" + white + R"(, "al": 37},
        "focused": {"cr": 255, "al": 37}})";
    const std::string sysButton = R"("normal": )" + Block(kCloseColour) + R"(, "lighted": )" + Block(kLighted) +
                                  R"(, "pressed": )" + Block(kPressed);
    return R"({"cfg": {
  "Host": {
    "Button": {"id": 1001, "size": [20, 20, 120, 40], )" + ButtonStates() + ", " + textStyles + R"(},
    "WideId": {"id": 66537, "size": [160, 20, 60, 30], )" + ButtonStates() + R"(},
    "Plain": {"id": 7, "size": [20, 80, 120, 40], "normal": )" + Block(kNormal) + R"(},
    "Label": {"size": [10, 10, 300, 30], "text": {"cr": )" + white + R"(, "al": 37, "tx": "Ready"}},
    "FontOnly": {"size": [10, 50, 150, 120], "text": {"ft": 105}},
    "Progress": {"id": 3, "size": [20, 100, 558, 12], "bkgnd": )" + Block(kTrack, 3, 6) + R"(, "frgnd": )" +
           Block(kFill, 3, 6) + R"(},
    "Pane": {"size": [30, 30, 60, 40], "bkgnd": )" + Block(kPaneColour) + R"(},
    "BarePane": {"size": [120, 30, 60, 40]}
  },
  "Frame": {
    "Client": {"bkgnd": )" + Block(kClient) + R"(},
    "Frames": {
      "Top": {"normal": )" + Block(kTopStrip, 4, 100) + R"(, "grayed": )" + Block(kGrayed, 4, 100) + R"(},
      "Left": {"normal": )" + Block(kLeftStrip, 10, 10) + R"(, "grayed": )" + Block(kGrayed, 10, 10) + R"(},
      "Right": {"normal": )" + Block(kRightStrip, 10, 10) + R"(, "grayed": )" + Block(kGrayed, 10, 10) + R"(},
      "Bottom": {"normal": )" + Block(kBottomStrip, 4, 30) + R"(, "grayed": )" + Block(kGrayed, 4, 30) + R"(}
    },
    "SysBtns": {
      "Close": {"id": 1000, "size": [-60, 45, 15, 15], )" + sysButton + R"(},
      "Restore": {"id": 0, "size": [-90, 45, 15, 15], )" + sysButton + R"(},
      "Maximize": {"id": 0, "size": [-90, 45, 15, 15], )" + sysButton + R"(},
      "Minimize": {"id": 0, "size": [-120, 45, 15, 15], )" + sysButton + R"(}
    },
    "Caption": {"size": [200, 20, 100, 20], "text": {"tx": "caption"}},
    "Badge": {"size": [350, 20, 50, 20], "bkgnd": )" + Block(kPaneColour) + R"(}
  },
  "CloseOnly": {"SysBtns": {"Close": {"id": 1000, "size": [-60, 45, 15, 15]}}}
},
"res": {"images": [{"id": 100}], "fonts": [{"id": 105}]}}
)";
}

}  // namespace

bool LoadTestSkin(UIResource& resource)
{
    const std::string sheet = Sheet();
    if (sheet.empty())
        return false;
    const std::string package = testing_uir::BuildPackage(
        Document() + '\0', {{100, sheet}, {105, R"({"Height": -16, "Weight": 400})"}});
    return resource.LoadFromMemory(package) && resource.FindNode("Host/Button", nullptr) != nullptr &&
           resource.GetImage(100, ImageTint::kAdjustable) != nullptr;
}

void TestHost::DrawElement(HDC dc, const RECT* ownRect, const RECT* clip)
{
    ++paints;
    lastClip = *clip;
    HBRUSH brush = CreateSolidBrush(kHostColour);
    FillRect(dc, ownRect, brush);
    DeleteObject(brush);
}

LRESULT TestHost::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (log != nullptr) {
        std::string from = reinterpret_cast<HWND>(lParam) == m_hWnd ? "host" : std::to_string(lParam);
        log->push_back("command " + std::to_string(LOWORD(wParam)) + " code " + std::to_string(HIWORD(wParam)) +
                       " from " + from);
    }
    return UIObject::OnCommand(wParam, lParam);
}

bool CreateLayeredHost(TestHost& host, int width, int height)
{
    CHWindow::RegisterWindowClass(GetModuleHandleW(nullptr));
    if (!host.Create(nullptr, 0, 0, WS_POPUP, L"control host", 0))
        return false;
    host.SetWindowSize(width, height);
    return host.MakeLayered() == 1;
}

void ShowQuietly(HWND window)
{
    ShowWindow(window, SW_SHOWNOACTIVATE);
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) + ", " +
           std::to_string(r.bottom) + ")";
}

}  // namespace control_testing
