#include "winkit/win_handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool Alive(HGDIOBJ object) {
    return GetObjectType(object) != 0;
}

// However ownership travels (moved, moved onto a full owner, released), each
// handle is freed exactly once: by its last owner, or by whoever released it.
TEST(Owned, FreesEachHandleOnceWhereverItsOwnershipWent) {
    HBRUSH moved = CreateSolidBrush(RGB(1, 2, 3));
    HBRUSH replaced = CreateSolidBrush(RGB(4, 5, 6));
    HBRUSH released = CreateSolidBrush(RGB(7, 8, 9));
    {
        GdiObject<HBRUSH> first(moved);
        GdiObject<HBRUSH> second(std::move(first));
        EXPECT_FALSE(first);
        GdiObject<HBRUSH> full(replaced);
        full = std::move(second);
        EXPECT_FALSE(Alive(replaced));
        EXPECT_TRUE(Alive(moved));
        GdiObject<HBRUSH> letGo(released);
        EXPECT_EQ(letGo.release(), released);
    }
    EXPECT_FALSE(Alive(moved));
    EXPECT_TRUE(Alive(released));
    DeleteObject(released);
}

} // namespace
