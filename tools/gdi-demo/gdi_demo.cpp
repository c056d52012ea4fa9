// Draws the graphics test sheet to a PNG: shapes and regions, blits and masks, and Chinese
// text at the sizes the program uses, so that a change to the graphics code can be looked at.
#include <cstdio>
#include <string>

#include "platform/testing.h"
#include "platform/win.h"

using namespace win;

namespace {

constexpr int kWidth = 760, kHeight = 500;
const char* const kSong = "宋体";

void Label(HDC dc, int x, int y, const char* text) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  TextOut(dc, x, y, text, int(std::string(text).size()));
}

void Shapes(HDC dc) {
  Label(dc, 10, 8, "图形与区域");
  HBRUSH pink = CreateSolidBrush(RGB(255, 192, 203));
  HPEN navy = CreatePen(PS_SOLID, 1, RGB(0, 0, 128));
  HGDIOBJ old_brush = SelectObject(dc, pink);
  HGDIOBJ old_pen = SelectObject(dc, navy);
  Rectangle(dc, 10, 30, 70, 80);
  Ellipse(dc, 80, 30, 150, 80);
  RoundRect(dc, 160, 30, 230, 80, 16, 16);
  POINT star[5] = {{270, 30}, {290, 80}, {240, 48}, {300, 48}, {250, 80}};
  SetPolyFillMode(dc, WINDING);
  Polygon(dc, star, 5);
  HPEN wide = CreatePen(PS_SOLID, 5, RGB(200, 0, 0));
  SelectObject(dc, wide);
  MoveToEx(dc, 320, 35, nullptr);
  LineTo(dc, 370, 75);
  SelectObject(dc, old_pen);
  DeleteObject(wide);
  HPEN dotted = CreatePen(PS_DOT, 1, RGB(0, 0, 0));
  SelectObject(dc, dotted);
  MoveToEx(dc, 380, 55, nullptr);
  LineTo(dc, 440, 55);
  SelectObject(dc, old_pen);
  DeleteObject(dotted);

  // Regions: an elliptic region minus a rectangle, filled; a round-rect region framed.
  HRGN ell = CreateEllipticRgn(460, 30, 540, 80);
  HRGN cut = CreateRectRgn(490, 30, 510, 80);
  CombineRgn(ell, ell, cut, RGN_DIFF);
  HBRUSH teal = CreateSolidBrush(RGB(0, 128, 128));
  FillRgn(dc, ell, teal);
  HRGN rr = CreateRoundRectRgn(560, 30, 640, 80, 20, 20);
  FrameRgn(dc, rr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), 2, 2);
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(128, 0, 128));
  HRGN inner = CreateRoundRectRgn(566, 36, 634, 74, 14, 14);
  FillRgn(dc, inner, hatch);
  RECT focus{660, 30, 740, 80};
  DrawEdge(dc, &focus, EDGE_RAISED, BF_RECT);
  InflateRect(&focus, -6, -6);
  DrawFocusRect(dc, &focus);
  for (HGDIOBJ o :
       {static_cast<HGDIOBJ>(ell), static_cast<HGDIOBJ>(cut), static_cast<HGDIOBJ>(rr),
        static_cast<HGDIOBJ>(inner), static_cast<HGDIOBJ>(teal), static_cast<HGDIOBJ>(hatch)})
    DeleteObject(o);
  SelectObject(dc, old_brush);
  DeleteObject(pink);
  DeleteObject(navy);
}

void Blits(HDC dc) {
  Label(dc, 10, 98, "位图传送、拉伸、掩码与透明色");
  // A 16x16 tile with a magenta key colour around a gradient diamond.
  HDC tile = CreateCompatibleDC(dc);
  HBITMAP bmp = CreateCompatibleBitmap(dc, 16, 16);
  SelectObject(tile, bmp);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      bool in = std::abs(x - 8) + std::abs(y - 8) < 7;
      SetPixel(tile, x, y, in ? RGB(BYTE(x * 16), BYTE(y * 16), 200) : RGB(255, 0, 255));
    }
  BitBlt(dc, 10, 120, 16, 16, tile, 0, 0, SRCCOPY);
  SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, 40, 120, 64, 64, tile, 0, 0, 16, 16, SRCCOPY);
  StretchBlt(dc, 180, 120, -64, 64, tile, 0, 0, 16, 16, SRCCOPY);  // mirrored
  HBRUSH stripes = CreateHatchBrush(HS_BDIAGONAL, RGB(0, 0, 255));
  RECT under{200, 120, 264, 184};
  FillRect(dc, &under, stripes);
  TransparentBlt(dc, 200, 120, 64, 64, tile, 0, 0, 16, 16, RGB(255, 0, 255));
  // The two-colour checked pattern, as the caption buttons' pressed state uses it.
  const WORD checks[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  HBITMAP check_bmp = CreateBitmap(8, 8, 1, 1, checks);
  HBRUSH checked = CreatePatternBrush(check_bmp);
  HGDIOBJ old = SelectObject(dc, checked);
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkColor(dc, RGB(192, 192, 192));
  PatBlt(dc, 280, 120, 64, 64, PATCOPY);
  SelectObject(dc, old);
  // A mask cut from the key colour, then the classic AND/OR pair.
  HDC mask_dc = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
  SelectObject(mask_dc, mask);
  SetBkColor(tile, RGB(255, 0, 255));
  BitBlt(mask_dc, 0, 0, 16, 16, tile, 0, 0, SRCCOPY);
  RECT under2{360, 120, 424, 184};
  FillRect(dc, &under2, stripes);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  StretchBlt(dc, 360, 120, 64, 64, mask_dc, 0, 0, 16, 16, SRCAND);
  StretchBlt(dc, 440, 120, 64, 64, mask_dc, 0, 0, 16, 16, SRCCOPY);
  DeleteDC(mask_dc);
  DeleteObject(mask);
  DeleteObject(checked);
  DeleteObject(check_bmp);
  DeleteObject(stripes);
  DeleteDC(tile);
  DeleteObject(bmp);
}

void Texts(HDC dc) {
  SetBkMode(dc, TRANSPARENT);
  int y = 200;
  for (int px : {12, 13, 21, 64}) {
    HFONT f = CreateFont(-px, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, kSong);
    HGDIOBJ old = SelectObject(dc, f);
    std::string s = std::to_string(px) + "像素 宋体：美容秘笈 家庭主妇 育儿宝典 窈窕淑女";
    if (px == 64) s = "女人星座";
    TextOut(dc, 10, y, s.c_str(), int(s.size()));
    SelectObject(dc, old);
    DeleteObject(f);
    y += px + 8;
  }
  HFONT bold = CreateFont(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, kSong);
  HFONT body = CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, kSong);
  HGDIOBJ old = SelectObject(dc, bold);
  const char* bold_text = "13像素粗体：标准身材 安全指南";
  TextOut(dc, 10, 350, bold_text, int(std::string(bold_text).size()));
  SelectObject(dc, body);
  const std::string para =
      "早餐要吃好。一份全麦面包、一杯无糖豆浆和一个水煮蛋，热量约三百五十千卡，既能提供上午所需的能"
      "量，"
      "又不会让血糖大起大落。工作日时间紧，可以前一晚把燕麦泡好，早上加一把坚果和半根香蕉，五分钟就"
      "能出门。";
  RECT box{10, 375, 450, 445};
  FrameRect(dc, &box, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&box, -4, -4);
  DrawText(dc, para.c_str(), int(para.size()), &box, DT_WORDBREAK | DT_LEFT);
  RECT caption{10, 460, 170, 480};
  FillRect(dc, &caption, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  const char* title = "窈窕淑女——饮食与运动的减肥百科全书";
  DrawText(dc, title, -1, &caption, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  RECT prefix{190, 460, 450, 480};
  DrawText(dc, "下一条(&N)  上一条(&P)", -1, &prefix, DT_SINGLELINE | DT_VCENTER);
  SelectObject(dc, old);
  DeleteObject(bold);
  DeleteObject(body);
}

}  // namespace

int main(int argc, char** argv) {
  const char* out = argc > 1 ? argv[1] : "gdi-demo.png";
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP sheet = CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
  SelectObject(dc, sheet);
  PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS);
  HFONT label = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, kSong);
  SelectObject(dc, label);
  Shapes(dc);
  Blits(dc);
  Texts(dc);
  if (!WriteBitmapPng(sheet, out)) {
    std::fprintf(stderr, "vellisa-gdi-demo: cannot write %s\n", out);
    return 1;
  }
  DeleteDC(dc);
  DeleteObject(sheet);
  DeleteObject(label);
  return 0;
}
