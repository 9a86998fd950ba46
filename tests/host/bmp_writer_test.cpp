#include "brdwall/services/core/bmp_writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/temp_folder.h"

namespace brd {
namespace {

using Bytes = std::vector<unsigned char>;

std::vector<std::string> FolderNames(const test::TempFolder& folder) {
    std::vector<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(folder.Path())) {
        names.push_back(item.path().filename().string());
    }
    return names;
}

// A picture whose pixel (x, y) is B = 10 * y + x, G = 100 + B, R = 200 + B, unused byte 0xEE.
struct Picture {
    int width, height;
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<int> asked;

    Picture(int w, int h) : width(w), height(h) {
        for (int y = 0; y < h; ++y) {
            std::vector<std::uint8_t> row;
            for (int x = 0; x < w; ++x) {
                const auto b = static_cast<std::uint8_t>(10 * y + x);
                row.insert(row.end(),
                           {b, static_cast<std::uint8_t>(100 + b), static_cast<std::uint8_t>(200 + b), 0xEE});
            }
            rows.push_back(row);
        }
    }
    std::function<const std::uint8_t*(int)> Rows() {
        return [this](int y) {
            asked.push_back(y);
            return rows[static_cast<std::size_t>(y)].data();
        };
    }
};

TEST(BmpWriter, HeaderOf3x2) {
    const Bytes expected = {
        'B',  'M',  78, 0, 0,    0,    0, 0, 0, 0, 54, 0, 0, 0,        // file header: size 54 + 2 rows of 12
        40,   0,    0,  0, 3,    0,    0, 0, 2, 0, 0,  0, 1, 0, 24, 0, // size, width, height, planes, bits
        0,    0,    0,  0, 24,   0,    0, 0,                           // uncompressed, image size
        0x13, 0x0B, 0,  0, 0x13, 0x0B, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, // 2835 per metre, colours
    };
    EXPECT_EQ(BmpHeader(3, 2), expected);
}

TEST(BmpWriter, RefusedSizesWriteNothing) {
    // 4 pixels wide: 12 bytes a row, so 178956966 rows are the most that fit in 2^31 bytes.
    EXPECT_EQ(BmpHeader(4, 178956966).size(), 54u);
    const std::pair<int, int> refused[] = {
        {0, 1},         {1, 0},         {-1, 5},      {5, -1},     {INT_MIN, INT_MIN},
        {4, 178956967}, {30000, 30000}, {INT_MAX, 1}, {1, INT_MAX}};
    for (const auto& [width, height] : refused) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        EXPECT_TRUE(BmpHeader(width, height).empty());
        test::TempFolder folder;
        FailureNote note;
        bool asked = false;
        const auto rows = [&](int) -> const std::uint8_t* {
            asked = true;
            return nullptr;
        };
        EXPECT_FALSE(WriteBmp24(folder.File("tmpFile.bmp"), width, height, rows, note));
        EXPECT_TRUE(note.Noted());
        EXPECT_FALSE(asked);
        EXPECT_TRUE(FolderNames(folder).empty());
    }
}

TEST(BmpWriter, WritesRowsBottomUpAsPaddedBgr) {
    for (const int width : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(width);
        test::TempFolder folder;
        const std::string path = folder.File("tmpFile.bmp");
        test::WriteBytes(path, Bytes(500, 0x55)); // an older, longer file is replaced
        Picture picture(width, 3);
        FailureNote note;
        ASSERT_TRUE(WriteBmp24(path, width, 3, picture.Rows(), note));
        EXPECT_FALSE(note.Noted());
        EXPECT_EQ(picture.asked, (std::vector<int>{2, 1, 0}));

        const std::vector<std::uint8_t> header = BmpHeader(width, 3);
        Bytes expected(header.begin(), header.end());
        for (int y = 2; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                const auto b = static_cast<unsigned char>(10 * y + x);
                expected.insert(expected.end(), {b, static_cast<unsigned char>(100 + b),
                                                 static_cast<unsigned char>(200 + b)});
            }
            expected.resize(expected.size() + (4 - width * 3 % 4) % 4, 0);
        }
        EXPECT_EQ(test::ReadBytes(path), expected);
        EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"tmpFile.bmp"});

        // The same picture given as 3-byte pixels makes the same file (width 4 needs no padding).
        std::vector<Bytes> bgr;
        for (const auto& row : picture.rows) {
            Bytes packed;
            for (std::size_t i = 0; i < row.size(); i += 4)
                packed.insert(packed.end(), {row[i], row[i + 1], row[i + 2]});
            bgr.push_back(packed);
        }
        const std::string second = folder.File("second.bmp");
        std::vector<int> asked;
        ASSERT_TRUE(WriteBmp24Rows(
            second, width, 3, RowPixels::Bgr24,
            [&](int y) { return asked.push_back(y), bgr[static_cast<std::size_t>(y)].data(); }, note,
            RowOrder::TopDown));
        EXPECT_EQ(test::ReadBytes(second), expected);
        EXPECT_EQ(asked, (std::vector<int>{0, 1, 2})) << "top down, for a decoder that reads front to back";
    }
    // Rows of 600,000 bytes: a band each, every one put in its place.
    test::TempFolder folder;
    Picture wide(200000, 7);
    FailureNote note;
    ASSERT_TRUE(WriteBmp24(folder.File("up.bmp"), 200000, 7, wide.Rows(), note));
    ASSERT_TRUE(WriteBmp24Rows(folder.File("down.bmp"), 200000, 7, RowPixels::Bgrx32, wide.Rows(), note,
                               RowOrder::TopDown));
    EXPECT_EQ(test::ReadBytes(folder.File("down.bmp")), test::ReadBytes(folder.File("up.bmp")));
}

TEST(BmpWriter, FailuresLeaveNoPartialFileAndKeepTheOldOne) {
    const Bytes old = {'o', 'l', 'd'};
    {
        SCOPED_TRACE("missing folder");
        test::TempFolder folder;
        Picture picture(3, 2);
        FailureNote note;
        EXPECT_FALSE(WriteBmp24(folder.File("gone/tmpFile.bmp"), 3, 2, picture.Rows(), note));
        EXPECT_EQ(note.Last().Number, kPathNotFound);
        EXPECT_TRUE(FolderNames(folder).empty());
    }
    {
        SCOPED_TRACE("a row is missing");
        test::TempFolder folder;
        const std::string path = folder.File("tmpFile.bmp");
        test::WriteBytes(path, old);
        Picture picture(3, 2);
        FailureNote note;
        const auto rows = [&](int y) -> const std::uint8_t* {
            return y == 0 ? nullptr : picture.rows[1].data();
        };
        EXPECT_FALSE(WriteBmp24(path, 3, 2, rows, note));
        EXPECT_TRUE(note.Noted());
        EXPECT_EQ(test::ReadBytes(path), old);
        EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"tmpFile.bmp"});
    }
    {
        SCOPED_TRACE("the target cannot be replaced");
        test::TempFolder folder;
        const std::string path = folder.File("tmpFile.bmp");
        std::filesystem::create_directory(path);
        test::WriteBytes(folder.File("tmpFile.bmp/inside"), old);
        Picture picture(3, 2);
        FailureNote note;
        EXPECT_FALSE(WriteBmp24(path, 3, 2, picture.Rows(), note));
        EXPECT_TRUE(note.Noted());
        EXPECT_EQ(test::ReadBytes(folder.File("tmpFile.bmp/inside")), old);
        EXPECT_EQ(FolderNames(folder), std::vector<std::string>{"tmpFile.bmp"});
    }
}

} // namespace
} // namespace brd
