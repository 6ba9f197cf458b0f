#include "editctl/change_flow.h"

#include "editctl/layout.h"

namespace {

void TellObserver(EditState& s, const ModelChange& change) {
    TextObserver* observer = s.history.observer;
    if (observer && !change.records.empty())
        observer->TextChanged(s, change.records, true);
}

} // namespace

void FollowChange(EditState& s, const ModelChange& change) {
    using Kind = ModelChange::Kind;
    switch (change.kind) {
    case Kind::Nothing:
        return;
    case Kind::Refused:
        s.effects.tooLong = true;
        return;
    case Kind::Text:
        s.model.liveSpans.follow(change.records);
        FollowLayout(s, change);
        TellObserver(s, change);
        InvalidateClient(s);
        NotifyParent(s, EditNotify::Change);
        return;
    case Kind::Selection:
        FollowLayout(s, change);
        InvalidateClient(s);
        NotifyParent(s, EditNotify::SelChange);
        return;
    }
}
