// The picture handed out for TYMED_MFPICT: its header read back, and a
// metafile that holds nothing but its header and end record.
#include "control/metafile_picture.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <ole2.h>

#include <vector>

namespace {

TEST(MetafilePicture, AnisotropicOverTheExtentWithAnEmptyDrawing) {
  HGLOBAL picture = nullptr;
  ASSERT_EQ(CreateEmptyMetafilePicture({12345, 6789}, &picture), S_OK);
  ASSERT_NE(picture, nullptr);
  EXPECT_GE(GlobalSize(picture), sizeof(METAFILEPICT));
  EXPECT_EQ(GlobalFlags(picture) & GMEM_LOCKCOUNT, 0u);  // handed over unlocked

  const auto* header = static_cast<const METAFILEPICT*>(GlobalLock(picture));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->mm, MM_ANISOTROPIC);
  EXPECT_EQ(header->xExt, 12345);
  EXPECT_EQ(header->yExt, 6789);
  HMETAFILE metafile = header->hMF;
  GlobalUnlock(picture);
  ASSERT_NE(metafile, nullptr);
  EXPECT_EQ(GetObjectType(metafile), static_cast<DWORD>(OBJ_METAFILE));

  // METAHEADER (9 words), then only the end record: 3 words, function 0.
  const UINT size = GetMetaFileBitsEx(metafile, 0, nullptr);
  ASSERT_EQ(size, 24u);
  std::vector<WORD> words(size / sizeof(WORD));
  ASSERT_EQ(GetMetaFileBitsEx(metafile, size, words.data()), size);
  EXPECT_EQ(words[1], 9);                      // mtHeaderSize in words
  EXPECT_EQ(words[3] | (words[4] << 16), 12);  // mtSize in words
  EXPECT_EQ(words[9] | (words[10] << 16), 3);  // record size
  EXPECT_EQ(words[11], 0);                     // the end of the file

  // The receiver frees it as any medium: metafile, then the block.
  STGMEDIUM medium = {};
  medium.tymed = TYMED_MFPICT;
  medium.hMetaFilePict = picture;
  ReleaseStgMedium(&medium);
  EXPECT_EQ(GetObjectType(metafile), 0u);
}

TEST(MetafilePicture, NullOutPointer) {
  EXPECT_EQ(CreateEmptyMetafilePicture({1, 1}, nullptr), E_POINTER);
}

}  // namespace
