// Group 1: long signatures of 9 to 39 bytes, most of them text at the start
// of the file.
#include "recognizer/Recognition.h"
#include "recognizer/SignatureTable.h"

namespace quiddity {

using namespace std::string_view_literals;  // "A\0B"sv keeps its zero bytes

namespace {

constexpr SignatureRow kLongSignatures[] = {
    Row(At(0, "Microsoft C/C++ program database 2.00\r\n"), "MS Debug Database 2.00"),
    Otherwise(At(0, "Microsoft C/C++ prog"), "MS Debug Database"),
    Row(At(0, "Propellerheads ReFill File", kAnyCase), "Propellerheads ReFill"),
    Row(At(0, "Microsoft Linker Database"), "MS Linker Database"),
    Row(At(0, "##RenderMan RIB-Structure"), "Renderman bytestream 3D model"),
    Row(At(0, "4Created with Hammerhead", kAnyCase), "Hammerhead music"),
    Row(At(2, "DELPHI.DIAGRAM.PORTFOLIO", kAnyCase), "Delphi Diagram Portfolio"),
    Row(At(10, "# This is a shell archive"), Or, At(11, "# This is a shell archive"), "Unix Shell archive"),
    Row(At(0, ",AR7 e-mailable archive"), "AR7 archive file"),
    Row(At(0, "3D Geometry File Format"), "Rhino3D/OpenNurbs 3D model"),
    Row(At(0, "TURBO PASCAL HELP FILE"), "Borland TurboPascal help file"),
    Row(At(0, "This is a BitMap file"), "Lisp machine bitmap image"),
    Row(At(0, "Extended Instrument: "), "Fasttracker II instrument"),
    Row(At(0, "Borland Standard File"), "Borland Standard File"),
    Row(At(0, "/* Format_version=1,"), "SunOS icon image"),
    Row(At(0, "*3DSMAX_ASCIIEXPORT"), "3D studio max ascii export 3d model"),
    Row(At(0, "%!PS-Adobe-2.0 EPSF"), "Encapsulated Postscript Level 2"),
    Row(At(0, "%!PS-Adobe-3.0 EPSF"), "Encapsulated Postscript Level 3"),
    Row(At(0, "DIGI Booster module", kAnyCase), "Digibooster music"),
    Row(At(0, "FiLeStArTfIlEsTaRt"), "Binscii text (Apple II)"),
    Row(At(0, "$FL2@(#) SPSS DATA"), "SPSS Datafile"),
    Row(At(0, "[InternetShortcut]"), "URL (Internet shortcut)"),
    Row(At(0, "AutoCAD Binary DXF"), "Autocad drawing interchange 3d model (binary)"),
    Row(At(0, "TURBO C HELP FILE"), "Borland Turbo C help file"),
    Row(At(0, "StartMasterFontMetrics"), "Type 1 Font, adobe master font metrics"),
    Row(At(0, "StartCompFontMetrics"), "Type 1 Font, adobe composite font metrics"),
    Row(At(0, "StartFontMetrics "), "Type 1 Font, adobe metrics file"),
    Row(At(0, "This is Info file"), "GNU Info hypertext document"),
    Row(At(0, "Extended Module: "), "FastTracker II module music"),
    Row(At(0, "begindata{raster"), "Andrew toolkit raster image"),
    Row(At(0, "SIDPLAY INFOFILE"), "SidPlayer music file"),
    Row(At(0, "NetWare Loadable"), "NLM (NetWare Loadable Module)"),
    Row(At(0, "; CLW file conta"), "ClassWizard File"),
    Row(At(0, "Interpress/Xerox"), "Interpress document"),
    Row(At(0, "BEGIN:VCALENDAR"), "iCalendar/VCalendar"),
    Row(At(369, "MICROSOFT PIFEX"), "PIF (shortcut to dos)"),
    Row(At(0, "JASC BROWS FILE"), "Jasc Paint Shop Pro index file"),
    Row(At(0, "id=ImageMagick"), "Imagemagick image file (miff)"),
    Row(At(0, "MAS_UTrack_V00"), "Ultra Tracker module music"),
    Row(At(0, "\xFF\xFE\x3C\x00\x3F\x00\x58\x00\x4D\x00\x4C\x00\x20\x00"sv), "XML Unicode"),
    Row(At(0, "\xFF\xFE\x3C\x00\x3F\x00\x78\x00\x6D\x00\x6C\x00\x20\x00"sv), "XML Unicode"),
    Row(At(0, "<!doctype html", kAnyCase), "HTML (text)"),
    Otherwise(At(0, "<!doctype ", kAnyCase), "SGML document (text)"),
    Row(At(0, "Zinc Data File"), "Zinc Data File"),
    Row(At(0, "AportisDocPalm"), "Aportis Palm Document"),
    Row(At(0, "MATLAB 5.0 MAT"), "Matlab file"),
    Row(At(0, "%!PS-AdobeFont"), "Type 1 Font, Postscript"),
    Row(At(0, "(* $Workfile:"), "Exchange TPL/XV2 (?)"),
    Row(At(0, "Liquid Module"), "Liquid Tracker module music"),
    Row(At(0, "FlAsH-aRcHiVe"), "Flash archive "),
    Row(At(0, "Dirk Paehl(c)"), "DPAE archive "),
    Row(At(0, "C64 CARTRIDGE"), "C64 Cartridge Image"),
    Row(At(0, "64LAN IDBLOCK"), "C64 64LAN Image file"),
    Row(At(0, "AutoCAD Slide"), "AutoCAD slide image"),
    Row(At(0, "\x00\x00\x00\x0C\x6A\x50\x20\x20\x0D\x0A\x87\x0A"sv), Or, At(0, "\x00\x00\x00\x0C\x6A\x50\x1A\x1A\x0D\x0A\x87\x0A"sv), "JPEG2000 image"),
    Row(At(5, "Version:Vivo"), "Vivo multimedia stream"),
    Row(At(0, "Catalog 3.00"), "Where is it? catalog"),
    Row(At(8, "PS-AdobeFont"), "Type 1 Font, Postscript"),
    Row(At(264, "PS-AdobeFont"), "Type 1 Font, Postscript (with mac header)"),
    Row(At(0, "C64-TAPE-RAW"), "TAP C64 raw tape image"),
    Row(At(0, "%!FontType1"), "Type 1 printer font"),
    Row(At(6, "%!FontType1"), "Type 1 printer font, binary"),
    Row(At(0, "BEGIN:VCARD"), "vCard business card"),
    Row(At(0, "BEGIN_SCENE"), "Tachyon ray-tracer 3d model"),
    Row(At(0, "GF1PATCH110"), "Gravis Ultrasound instrument data"),
    Row(At(0, "GF1PATCH100"), "Gravis Ultrasound (old) instrument data"),
    Row(At(0, "\xFF\x42\x53\x47\x00\x00\xFF\x42\x53\x41"sv), "BSA archive"),
    Row(At(0, "\x1A\x03\x44\x65\x73\x63\x72\x69\x70\x74"sv), "BTSpk archive"),
    Row(At(0, "Caligari V"), "Caligari Truespace2 3D model"),
    Row(At(0, "3DMetafile"), "QuickDraw 3D metafile"),
    Row(At(0, "OFXHEADER:"), "Open financial exchange file (.qfx) (SGML)"),
    Row(At(0, "STARTFONT "), "Adobe glyph bitmap distribution format (BDF) font"),
    Row(At(0, "LOCALE.BLL"), "Borland Locale info"),
    Row(At(0, "AutoCad-86"), "Autocad ini"),
    Row(At(0, "MS3D000000"), "Milkshape 3d model (binary)"),
    Row(At(0, "FontName ("), "Type 1 Font, inf-file"),
    Row(At(1062, "\x3C\x6F\xEF\x51\x55\xEE\x52\x6F\x52"sv), "Amusic Adlib tracker music"),
    Row(At(1, "Edsun CEG"), "Continous Edge Graphic (CEG) image"),
    Row(At(0, "gimp xcf "), "Gimp XCF graphic format"),
    Row(At(0, "@database"), "AmigaGuide hypertext document"),
    Row(At(0, "C64s tape", kAnyCase), "C64S Tape Image"),
    Row(At(0, "\x43\x36\x34\x49\x6D\x61\x67\x65\x00"sv), "C64 Emulator Image (PC64 for Dos)"),
    Row(At(0, "/* XPM */"), "X-windows Pixmap image"),
    Row(At(0, "TFMX-SONG"), "TFMX tracker module music"),
    Row(At(0, "\x89\x4C\x5A\x4F\x00\x0D\x0A\x1A\x0A"sv), "LZOP archive"),
    Row(At(0, "#Inventor"), "Open Inventor 3D model"),
    Row(At(0, "\x01\x00\x00\x00\x01\x00\x08\x00\x44"sv), "Lotus 1-2-3 picture", kEnds),
};

}  // namespace

ETest RunLongSignatures(CRecognition& r) { return MatchRows(r, kLongSignatures); }

std::span<const SignatureRow> LongSignatureRows() { return kLongSignatures; }

}  // namespace quiddity
