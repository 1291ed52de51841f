// The picture kinds as a whole: creation by name, recognition, cloning, and bad data of every kind.
#include <gtest/gtest.h>

#include "PictureSamples.h"
#include "pictures/PictureKinds.h"

namespace xq::test {
namespace {

const char* const KindNames[] = {"TBitmap", "TJPEGImage", "TPNGObject", "TGIFImage", "TIcon", "TMetafile"};

TEST(PictureKinds, CreatedByTheirExactClassNames)
{
    for (const char* name : KindNames) {
        const auto picture = CreateGraphic(name);
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->ClassName(), name);
        EXPECT_TRUE(picture->Empty());
        EXPECT_TRUE(IsKnownGraphicClass(name));
    }
    for (const char* name : {"", "tbitmap", "TBitmap ", "TJPEG", "TWMF", "TPicture"}) {
        EXPECT_FALSE(CreateGraphic(name)) << name;
        EXPECT_FALSE(IsKnownGraphicClass(name)) << name;
    }
}

TEST(PictureKinds, RecognisedLoadedAndClonedFromTheirBytes)
{
    for (const TKindSample& sample : SampleOfEachKind()) {
        SCOPED_TRACE(sample.ClassName + " " + sample.Variant);
        EXPECT_EQ(DetectGraphicClass(sample.Bytes), sample.ClassName);
        const auto picture = LoadGraphic(sample.Bytes);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->ClassName(), sample.ClassName);
        EXPECT_EQ(picture->SaveToBytes(), sample.Bytes);
        EXPECT_GT(picture->Width(), 0);

        const auto copy = picture->Clone();
        EXPECT_TRUE(GraphicsEqual(picture.get(), copy.get()));
        TRGBAImage original;
        TRGBAImage cloned;
        ASSERT_TRUE(picture->Decode(original));
        ASSERT_TRUE(copy->Decode(cloned));
        EXPECT_EQ(original.Pixels, cloned.Pixels);
        EXPECT_EQ(original.Width, picture->Width());
        EXPECT_EQ(original.Height, picture->Height());

        // No kind takes another kind's bytes.
        for (const char* name : KindNames) {
            if (sample.ClassName == name)
                continue;
            EXPECT_FALSE(CreateGraphic(name)->LoadFromBytes(sample.Bytes)) << name;
        }
    }
    EXPECT_EQ(DetectGraphicClass(""), "");
    EXPECT_EQ(DetectGraphicClass("GIF90a"), "");
    EXPECT_EQ(DetectGraphicClass("%PDF-1.4"), "");
    EXPECT_FALSE(LoadGraphic("BM this is no bitmap"));
    EXPECT_FALSE(LoadGraphic("plain text"));
}

// Whatever the bytes, a picture either refuses them and stays empty, or holds them and then
// decodes to an image of consistent size or reports failure.
void ExpectHandledSafely(const std::string& className, const std::string& bytes)
{
    const auto picture = CreateGraphic(className);
    if (!picture->LoadFromBytes(bytes)) {
        EXPECT_TRUE(picture->Empty());
        EXPECT_EQ(picture->Width(), 0);
        return;
    }
    EXPECT_EQ(picture->SaveToBytes(), bytes);
    TRGBAImage image;
    if (picture->Decode(image)) {
        ASSERT_GT(image.Width, 0);
        ASSERT_GT(image.Height, 0);
        ASSERT_EQ(image.Pixels.size(), std::size_t(image.Width) * std::size_t(image.Height) * 4);
    }
}

TEST(PictureRobustness, EveryCutOfEverySampleIsHandled)
{
    for (const TKindSample& sample : SampleOfEachKind()) {
        SCOPED_TRACE(sample.ClassName + " " + sample.Variant);
        for (std::size_t length = 0; length < sample.Bytes.size(); ++length)
            ExpectHandledSafely(sample.ClassName, sample.Bytes.substr(0, length));
        EXPECT_FALSE(CreateGraphic(sample.ClassName)->LoadFromBytes(sample.Bytes.substr(0, 4)));
    }
}

TEST(PictureRobustness, EveryFlippedByteOfEverySampleIsHandled)
{
    for (const TKindSample& sample : SampleOfEachKind()) {
        SCOPED_TRACE(sample.ClassName + " " + sample.Variant);
        for (std::size_t at = 0; at < sample.Bytes.size(); ++at) {
            for (int flip : {0xFF, 0x01, 0x80, 0x7F}) {
                std::string bytes = sample.Bytes;
                bytes[at] = static_cast<char>(bytes[at] ^ flip);
                ExpectHandledSafely(sample.ClassName, bytes);
            }
        }
    }
}

} // namespace
} // namespace xq::test
