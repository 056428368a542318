#include <QResource>

#include <gtest/gtest.h>

#include <cstring>

namespace {

// The icon every build carries: a compressed resource at the root holding
// an icon file with four images.
TEST(ZavIcon, IsACompressedResourceWithFourImages)
{
    const QResource icon(QStringLiteral(":/zav.ico"));
    ASSERT_TRUE(icon.isValid());
    EXPECT_NE(icon.compressionAlgorithm(), QResource::NoCompression);
    const QByteArray bytes = icon.uncompressedData();
    ASSERT_GE(bytes.size(), 6 + 4 * 16);
    EXPECT_EQ(std::memcmp(bytes.constData(), "\0\0\1\0\4\0", 6), 0);
}

} // namespace
