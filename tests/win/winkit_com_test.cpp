// COM reference counting: the base every COM object of the program derives
// from, and the owner that holds references to them.
#include "winkit/com_object.h"
#include "winkit/win_handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

// Two interfaces, as the edit control's element has.
struct IFirst : IUnknown {};
struct ISecond : IUnknown {};
constexpr GUID kFirstIid = {0x1e7c1d01, 0x5a0b, 0x4c2e, {0x8f, 1, 2, 3, 4, 5, 6, 7}};
constexpr GUID kSecondIid = {0x1e7c1d02, 0x5a0b, 0x4c2e, {0x8f, 1, 2, 3, 4, 5, 6, 7}};
constexpr GUID kStrangerIid = {0x1e7c1d03, 0x5a0b, 0x4c2e, {0x8f, 1, 2, 3, 4, 5, 6, 7}};

class Both final : public ComObject<Both, IFirst, ISecond> {
  public:
    explicit Both(bool& gone) : gone_(gone) {}
    void* Interface(REFIID iid) {
        if (iid == kFirstIid)
            return static_cast<IFirst*>(this);
        return iid == kSecondIid ? static_cast<ISecond*>(this) : nullptr;
    }

  private:
    ~Both() override { gone_ = true; }
    bool& gone_;
};

template <typename Interface> ComPtr<Interface> Query(IUnknown* object, REFIID iid) {
    ComPtr<Interface> result;
    EXPECT_EQ(object->QueryInterface(iid, reinterpret_cast<void**>(result.Receive())), S_OK);
    return result;
}

// However the references travel (asked for, shared, moved, released by
// hand), the object goes with the last one and not before.
TEST(ComObject, AnswersForItsInterfacesAndGoesWithItsLastReference) {
    bool gone = false;
    {
        ComPtr<IFirst> created(new Both(gone));
        void* stranger = &gone;
        EXPECT_EQ(created->QueryInterface(kStrangerIid, &stranger), E_NOINTERFACE);
        EXPECT_EQ(stranger, nullptr);
        const ComPtr<IUnknown> unknown = Query<IUnknown>(created.get(), IID_IUnknown);
        EXPECT_EQ(static_cast<void*>(unknown.get()), static_cast<void*>(created.get()));
        const ComPtr<ISecond> second = Query<ISecond>(unknown.get(), kSecondIid);
        const ComPtr<IFirst> first = Query<IFirst>(second.get(), kFirstIid);
        EXPECT_EQ(first.get(), created.get());
        EXPECT_NE(static_cast<void*>(second.get()), static_cast<void*>(first.get()));

        const ComPtr<IFirst> shared = ComPtr<IFirst>::Share(first.get());
        ComPtr<IFirst> moved(std::move(created));
        EXPECT_FALSE(created);
        moved.release()->Release();
        EXPECT_FALSE(gone);
    }
    EXPECT_TRUE(gone);
}

} // namespace
