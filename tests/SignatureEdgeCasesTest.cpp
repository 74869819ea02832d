// Crafted heads for the first three test groups: the order of the rows,
// "otherwise" chains, rows that end the run, the prologue and checkpoints
// around them, and signatures that lie near the end of the 4096-byte head.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecognizerSupport.h"
#include "TestSupport.h"
#include "recognizer/Recognition.h"
#include "recognizer/Recognizer.h"

using namespace quiddity;
using namespace std::string_view_literals;
using quiddity::test::HeadOf;
using quiddity::test::Padded;
using quiddity::test::PutText;
using quiddity::test::TypeOfBytes;

TEST(ShellScripts, OnlyShellInterpreterLines) {
    EXPECT_EQ(TypeOfBytes("#!/bin/zsh\n"), "Unix/Linux shell script");
    EXPECT_EQ(TypeOfBytes("#!/bin/"), "Unix/Linux shell script");
    CRecognition r = HeadOf("#!/usr/bin/perl\nprint 1;\n");
    EXPECT_EQ(RunScriptsAndArchives(r), ETest::NoMatch);
    r = HeadOf("#! /bin/sh\n");  // a blank after "#!" is not the interpreter line of this test
    EXPECT_EQ(RunScriptsAndArchives(r), ETest::NoMatch);
    EXPECT_FALSE(r.m_found);
}

TEST(ShellScripts, TheFirstCheckpointStopsTheRun) {
    // A shell archive's own line at offset 10 and a PIF signature at 369
    // are never looked at.
    std::vector<std::uint8_t> script = Padded(400, 0, "#!/bin/sh\n# This is a shell archive\n");
    PutText(script, 369, "MICROSOFT PIFEX");
    EXPECT_EQ(TypeOfBytes(script), "Bourne shell script (Unix)");
    // Without the interpreter line group 1 sees both, in the order of its rows.
    PutText(script, 0, "#! /bin/sh\n# This is a shell archive\n");
    EXPECT_EQ(TypeOfBytes(script), "Unix Shell archive" "PIF (shortcut to dos)");
}

TEST(ArArchives, SevenBytesEndTheRun) {
    // Seven bytes are enough: the newline of the magic is not compared.
    CRecognition r = HeadOf("!<arch>");
    EXPECT_EQ(RunScriptsAndArchives(r), ETest::Ends);
    EXPECT_EQ(r.m_result, "Ar archive (Unix) (or Visual C++ Compiler Library)");
    // Short files keep the size text of the prologue: no ar test can match.
    EXPECT_EQ(TypeOfBytes("!<ar"), "(4 byte file)");
}

TEST(LongSignatures, OtherwiseRows) {
    EXPECT_EQ(TypeOfBytes("Microsoft C/C++ program database 2.00\r\n\x1A" "JG\0\0"sv), "MS Debug Database 2.00");
    EXPECT_EQ(TypeOfBytes("Microsoft C/C++ program database 2.00\n"), "MS Debug Database");  // no CR: the short form
    EXPECT_EQ(TypeOfBytes("<!doctype html>\n<p>"), "HTML (text)");
    EXPECT_EQ(TypeOfBytes("<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\">"), "SGML document (text)");
}

TEST(LongSignatures, AnyCaseRowsAndOffsets) {
    EXPECT_EQ(TypeOfBytes("propellerheads refill file"), "Propellerheads ReFill");
    EXPECT_EQ(TypeOfBytes("xxdelphi.diagram.portfolio"), "Delphi Diagram Portfolio");
    CRecognition r = HeadOf("Microsoft linker database");  // a row that is not any-case
    EXPECT_EQ(RunLongSignatures(r), ETest::NoMatch);
    EXPECT_EQ(TypeOfBytes(Padded(300, 264, "PS-AdobeFont")), "Type 1 Font, Postscript (with mac header)");
    // Unicode XML is looked for before the byte-order-mark tests, in any case.
    EXPECT_EQ(TypeOfBytes("\xFF\xFE<\0?\0X\0M\0L\0 \0v\0"sv), "XML Unicode");
}

TEST(LongSignatures, RowsMatchInTableOrderNotOffsetOrder) {
    // The vCard row stands behind the PIF row although its bytes come first.
    std::vector<std::uint8_t> both = Padded(400, 0, "BEGIN:VCARD\n");
    PutText(both, 369, "MICROSOFT PIFEX");
    EXPECT_EQ(TypeOfBytes(both), "PIF (shortcut to dos)vCard business card");
}

TEST(LongSignatures, LotusPictureEndsWithEarlierTextsBeforeIt) {
    std::vector<std::uint8_t> picture(400, 0);
    PutText(picture, 0, "\x01\0\0\0\x01\0\x08\0D"sv);
    CRecognition r = HeadOf(picture);
    EXPECT_EQ(RunLongSignatures(r), ETest::Ends);
    EXPECT_EQ(r.m_result, "Lotus 1-2-3 picture");

    PutText(picture, 369, "MICROSOFT PIFEX");
    EXPECT_EQ(TypeOfBytes(picture), "PIF (shortcut to dos)Lotus 1-2-3 picture");
}

TEST(StuffIt, OtherwiseChainOfThreeRows) {
    std::vector<std::uint8_t> sit5 = Padded(200, 0, "StuffIt!");
    PutText(sit5, 65, "SIT5");
    EXPECT_EQ(TypeOfBytes(sit5), "StuffIt 5 archive (mac) ");  // neither StuffIt text follows

    std::vector<std::uint8_t> macBinary = Padded(200, 128, "StuffIt (c)1997");
    EXPECT_EQ(TypeOfBytes(macBinary), "StuffIt archive (mac)");
    PutText(macBinary, 0, "StuffIt!");  // the chain stops at its first match
    EXPECT_EQ(TypeOfBytes(macBinary), "StuffIt archive (mac)");
    EXPECT_EQ(TypeOfBytes(Padded(200, 128, "StuffIt!")), "StuffIt extended archive (sitx, mac)");
}

TEST(StuffIt, ClassicArchiveMatchesTwoRows) {
    // "SIT!", a 16-bit file count whose high byte is zero, the archive
    // length, then "rLau": the four-byte row and the five-byte row both match.
    EXPECT_EQ(TypeOfBytes("SIT!\x00\x01\x00\x00\x01\x00rLau"sv), "Stuffit archiveStuffIt archive (mac) ");
    EXPECT_EQ(TypeOfBytes("SIT!\x01\x00\x00\x00\x01\x00rLau"sv), "Stuffit archive");
}

TEST(Tar, VariantByTheBytesBehindTheMagic) {
    std::vector<std::uint8_t> header = Padded(1024, 0, "hello.txt");
    PutText(header, 256, "\0ustar\0\x06\x06"sv);  // neither GNU nor POSIX: no variant
    EXPECT_EQ(TypeOfBytes(header), "TAR archive ");
    PutText(header, 256, "\0ustar  \x20"sv);  // GNU magic without its zero byte
    EXPECT_EQ(TypeOfBytes(header), "TAR archive ");
    PutText(header, 256, "xustar  \0"sv);  // a link name that fills its field: not taken for tar
    CRecognition r = HeadOf(header);
    EXPECT_EQ(RunShortSignatures(r), ETest::NoMatch);
}

TEST(HeadEnd, SignaturesNearTheEndOfTheHead) {
    // The C64 self-extractor's method name ends at offset 3726: a file one
    // byte shorter holds only part of it.
    EXPECT_EQ(TypeOfBytes(Padded(3726, 3721, "-lh1-")), "C64 self-extracting LHA archive");
    CRecognition cut = HeadOf(std::string(3721, '.') + "-lh1");
    EXPECT_EQ(RunShortSignatures(cut), ETest::NoMatch);
    // Bytes past the 4096 of the head are never seen.
    std::vector<std::uint8_t> late = Padded(5000, 4093, "-lh1-");
    CRecognition r = HeadOf(late);
    EXPECT_EQ(RunShortSignatures(r), ETest::NoMatch);
    EXPECT_EQ(RunLongSignatures(r), ETest::NoMatch);
}

TEST(ShortSignatures, SpannedZipOnly) {
    EXPECT_EQ(TypeOfBytes("PK00PK\x03\x04\x14\0"sv), "ZIP archive");
    CRecognition r = HeadOf("PK\x03\x04\x14\0\0\0\x08\0"sv);  // an ordinary ZIP is left to the magic tables
    EXPECT_EQ(RunShortSignatures(r), ETest::NoMatch);
}

TEST(ShortSignatures, NotRow) {
    std::vector<std::uint8_t> softimage = Padded(100, 0, "\x53\x80\xF6\x34"sv);
    EXPECT_EQ(TypeOfBytes(softimage), "Softimage 3D image");
    PutText(softimage, 88, "PICT");
    CRecognition r = HeadOf(softimage);
    EXPECT_EQ(RunShortSignatures(r), ETest::NoMatch);
}

TEST(BytePatterns, BioRadEndsWithEarlierTextsBeforeIt) {
    std::vector<std::uint8_t> image(76, 0);
    PutText(image, 0, "\x40\x01\xC8\x00"sv);  // width, height
    PutText(image, 54, "90");                   // the file id 12345
    CRecognition r = HeadOf(image);
    EXPECT_EQ(RunShortSignatures(r), ETest::Ends);
    EXPECT_EQ(r.m_result, "Bio-rad confocal microscope image");

    PutText(image, 0, "\x89PNG\r\n\x1A\n"sv);
    EXPECT_EQ(TypeOfBytes(image), "Portable Network GraphicsBio-rad confocal microscope image");
}
