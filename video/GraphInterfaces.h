#pragma once
// What a component must offer to take part in a media graph: members bring an element of their
// own into the pipeline, listeners hear the graph's own operations.

#include "video/GstOwners.h"

#include <QString>

#include <functional>

// Membership notifications, in the order a member goes through them.
enum TGraphMembership { gmAdding = 0, gmAdded = 1, gmRemoving = 2, gmRemoved = 3 };

// Control events the graph sends around its own operations, on the user-interface thread, when
// it asks for them (the media thread carries them out later).
enum TControlEvent { cePlay = 0, ceStop = 2, ceFileRendering = 3 };

// A member's part in the pipeline. Taken on the user-interface thread; both functions are then
// called on the media thread only, so they may touch nothing but what they hold themselves.
struct MemberSink {
    // Makes the member's element; null when it cannot be made.
    std::function<yearmark::video::ElementPtr()> make;
    // A chain has left the graph (the pipeline is down): whatever it delivered is no longer shown.
    std::function<void()> chainGone;
};

class IGraphMember {
public:
    virtual ~IGraphMember() = default;
    virtual MemberSink graphSink() = 0;
    virtual QString graphName() const = 0;
    virtual void graphMembership(TGraphMembership code) = 0;
};

class IGraphListener {
public:
    virtual ~IGraphListener() = default;
    virtual void controlEvent(TControlEvent code, int param) = 0;
};
