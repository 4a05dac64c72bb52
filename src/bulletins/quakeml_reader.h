#pragma once
// Reading QuakeML 1.2 (basic event description) as other programs write it:
// FDSN event services, agencies, this system's own export. Each event is
// turned into what an event of an IMS bulletin gives (ims_reader.h): the
// preferred origin (else the first; the others listed as left out), one
// arrival per pick with the phase name, residual, distance and weight of
// the origin's arrival (a pick no arrival names takes its phase hint), the
// pick's amplitude and station magnitudes, and the network mb and Ms. The
// same rules then turn it into phases (bulletin_apply.h).
//
// Elements are found by their local names, so any namespace prefix reads.
// A document that is not XML, is cut short or is not QuakeML 1.2 is refused
// with the reason; nothing of it is applied.

#include <string>
#include <string_view>
#include <vector>

#include "bulletins/bulletin_apply.h"
#include "bulletins/ims_reader.h"

namespace nuv {

struct QuakeMlEvent {
  std::string publicId;
  int line = 0;        // of the <event> element
  ImsEventText event;  // identifier (from the publicID), comment, origin, arrivals
};

struct QuakeMlDocument {
  std::string failure;  // why the document cannot be read ("" when it can)
  std::vector<QuakeMlEvent> events;
};

QuakeMlDocument ParseQuakeMl(std::string_view text);

// The identifier of an event: the last part of its publicID (after the
// last '/', '=', ':' or '?'), of the characters an identifier may hold, at
// most 20 (the last ones).
std::string QuakeMlIdentifier(std::string_view publicId);

// The events of a document for the event chooser (identifier, region, line).
std::vector<ImsEventEntry> ListQuakeMlEvents(const QuakeMlDocument& document);

// The event whose identifier or publicID is `id` (the first event when `id`
// is empty); `failure` says why when there is none.
ImsEventText QuakeMlEventOf(const QuakeMlDocument& document, const std::string& id);

// Reads one event of a QuakeML file into the current event, as the IMS
// reading does.
BulletinReadResult ReadQuakeMlEvent(Workstation& ws, const std::string& path, const std::string& id,
                                    bool phasesOnly);

}  // namespace nuv
