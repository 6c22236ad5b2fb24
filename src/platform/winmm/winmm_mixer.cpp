// The winmm mixer calls over the host's mixer device (mixer 0). Every record
// the caller hands in is checked for its size and counts before anything is
// written into it.
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string_view>
#include <type_traits>

#include "host/host.h"
#include "host/mixer_device.h"
#include "platform/setup/faults.h"

struct HMIXER__ {
  std::unique_ptr<kaze::host::MixerBackend> connection;
};

using kaze::host::MixerBackend;
using kaze::host::MixerControlInfo;
using kaze::host::MixerDevice;
using kaze::host::MixerLineInfo;

// The host's mixers describe themselves in winmm's numbers.
static_assert(kaze::host::kMixerLineSpeakers == MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
static_assert(kaze::host::kMixerLineSynthesizer == MIXERLINE_COMPONENTTYPE_SRC_SYNTHESIZER);
static_assert(kaze::host::kMixerControlVolume == MIXERCONTROL_CONTROLTYPE_VOLUME);
static_assert(std::is_same_v<DWORD, uint32_t>, "mixer values pass between winmm and the host unconverted");

namespace {

// The machine's mixer, if it has one.
MixerDevice* TheMixerDevice() { return kaze::host::TheHost().Mixer(); }

std::mutex gHandlesMutex;
std::set<HMIXER> gOpenHandles;

// The connection a call works through: an open handle's own, or (for a
// mixer number, with flags of zero, as winmm takes either) one made for
// this call alone.
struct Connection {
  MixerBackend* backend = nullptr;
  std::unique_ptr<MixerBackend> own;
};

Connection Resolve(HMIXEROBJ object, DWORD flags, MMRESULT& error) {
  auto handle = reinterpret_cast<HMIXER>(object);
  {
    std::lock_guard lock(gHandlesMutex);
    if (gOpenHandles.count(handle) != 0) return {handle->connection.get(), nullptr};
  }
  bool byNumber = (flags & MIXER_OBJECTF_HANDLE) == 0;
  MixerDevice* device = TheMixerDevice();
  if (byNumber && reinterpret_cast<uintptr_t>(object) == 0 && device != nullptr) {
    Connection connection;
    connection.own = device->Open();
    connection.backend = connection.own.get();
    if (connection.backend != nullptr) return connection;
    error = MMSYSERR_NODRIVER;
    return {};
  }
  error = byNumber ? MMSYSERR_BADDEVICEID : MMSYSERR_INVALHANDLE;
  return {};
}

template <size_t N>
void CopyName(CHAR (&to)[N], const std::string& from) {
  size_t length = std::min(from.size(), N - 1);
  std::memcpy(to, from.data(), length);
  to[length] = '\0';
}

struct FoundLine {
  const MixerLineInfo* line = nullptr;
  DWORD destination = 0;
  DWORD source = 0;
  bool isSource = false;
  DWORD connections = 0;
};

FoundLine FindLineById(const MixerBackend& backend, DWORD id) {
  const auto& destinations = backend.Destinations();
  for (DWORD d = 0; d < destinations.size(); ++d) {
    const MixerLineInfo& destination = destinations[d];
    if (destination.id == id) return {&destination, d, 0, false, static_cast<DWORD>(destination.sources.size())};
    for (DWORD s = 0; s < destination.sources.size(); ++s) {
      if (destination.sources[s].id == id) return {&destination.sources[s], d, s, true, 0};
    }
  }
  return {};
}

const MixerControlInfo* FindControl(const MixerBackend& backend, DWORD id, const MixerLineInfo** owner) {
  auto search = [&](const MixerLineInfo& line) -> const MixerControlInfo* {
    for (const MixerControlInfo& control : line.controls) {
      if (control.id == id) {
        *owner = &line;
        return &control;
      }
    }
    return nullptr;
  };
  for (const MixerLineInfo& destination : backend.Destinations()) {
    if (const MixerControlInfo* found = search(destination)) return found;
    for (const MixerLineInfo& source : destination.sources) {
      if (const MixerControlInfo* found = search(source)) return found;
    }
  }
  return nullptr;
}

void FillLine(const MixerBackend& backend, const FoundLine& found, MIXERLINEA& out) {
  DWORD size = out.cbStruct;
  std::memset(&out, 0, sizeof(out));
  out.cbStruct = size;
  out.dwDestination = found.destination;
  out.dwSource = found.source;
  out.dwLineID = found.line->id;
  out.fdwLine = MIXERLINE_LINEF_ACTIVE | (found.isSource ? MIXERLINE_LINEF_SOURCE : 0);
  out.dwComponentType = found.line->componentType;
  out.cChannels = found.line->channels;
  out.cConnections = found.connections;
  out.cControls = static_cast<DWORD>(found.line->controls.size());
  CopyName(out.szShortName, found.line->name);
  CopyName(out.szName, found.line->name);
  out.Target.dwType = MIXERLINE_TARGETTYPE_UNDEFINED;
  CopyName(out.Target.szPname, backend.Name());
}

void FillControl(const MixerControlInfo& control, MIXERCONTROLA& out) {
  std::memset(&out, 0, sizeof(out));
  out.cbStruct = sizeof(out);
  out.dwControlID = control.id;
  out.dwControlType = control.type;
  out.fdwControl = control.flags;
  out.cMultipleItems = control.multipleItems;
  CopyName(out.szShortName, control.name);
  CopyName(out.szName, control.name);
  out.Bounds.dwMinimum = control.minimum;
  out.Bounds.dwMaximum = control.maximum;
  out.Metrics.cSteps = control.steps;
}

// Checks a value request against its control; the number of values, or 0
// with `error` set.
size_t ValueCount(const MixerBackend& backend, const MIXERCONTROLDETAILS* details, DWORD flags, MMRESULT& error) {
  error = MMSYSERR_INVALPARAM;
  if (details == nullptr || details->cbStruct < sizeof(MIXERCONTROLDETAILS) ||
      details->cbDetails != sizeof(MIXERCONTROLDETAILS_UNSIGNED) || details->paDetails == nullptr) {
    return 0;
  }
  if ((flags & MIXER_GETCONTROLDETAILSF_QUERYMASK) != MIXER_GETCONTROLDETAILSF_VALUE) {
    error = MMSYSERR_NOTSUPPORTED;
    return 0;
  }
  const MixerLineInfo* line = nullptr;
  const MixerControlInfo* control = FindControl(backend, details->dwControlID, &line);
  if (control == nullptr) {
    error = MIXERR_INVALCONTROL;
    return 0;
  }
  bool multiple = (control->flags & MIXERCONTROL_CONTROLF_MULTIPLE) != 0;
  DWORD items = multiple ? control->multipleItems : 0;
  if (details->cChannels == 0 || details->cChannels > line->channels || details->cMultipleItems != items) return 0;
  if ((control->flags & MIXERCONTROL_CONTROLF_UNIFORM) && details->cChannels != 1) return 0;
  error = MMSYSERR_NOERROR;
  return size_t{details->cChannels} * std::max<DWORD>(items, 1);
}

}  // namespace

UINT mixerGetNumDevs() { return TheMixerDevice() != nullptr ? 1 : 0; }

MMRESULT mixerGetDevCapsA(UINT_PTR mixerId, LPMIXERCAPSA caps, UINT capsSize) {
  MMRESULT error = MMSYSERR_NOERROR;
  Connection connection = Resolve(reinterpret_cast<HMIXEROBJ>(mixerId), 0, error);
  MixerBackend* backend = connection.backend;
  if (backend == nullptr) return error;
  if (caps == nullptr || capsSize < sizeof(MIXERCAPSA)) return MMSYSERR_INVALPARAM;
  std::memset(caps, 0, sizeof(*caps));
  caps->vDriverVersion = 0x0100;
  CopyName(caps->szPname, backend->Name());
  caps->cDestinations = static_cast<DWORD>(backend->Destinations().size());
  return MMSYSERR_NOERROR;
}

MMRESULT mixerOpen(LPHMIXER mixer, UINT mixerId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) {
  if (mixer == nullptr) return MMSYSERR_INVALPARAM;
  *mixer = nullptr;
  if (auto fault = kaze::platform::CheckFault("mixerOpen")) return static_cast<MMRESULT>(*fault);
  MixerDevice* device = TheMixerDevice();
  if (device == nullptr || mixerId != 0) return MMSYSERR_BADDEVICEID;
  if (flags != 0 || callback != 0) return MMSYSERR_INVALFLAG;  // no notifications are offered
  // A connection of its own, which sees the device as it is now.
  std::unique_ptr<MixerBackend> connection = device->Open();
  if (connection == nullptr) return MMSYSERR_NODRIVER;
  auto* handle = new HMIXER__{std::move(connection)};
  std::lock_guard lock(gHandlesMutex);
  gOpenHandles.insert(handle);
  *mixer = handle;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerClose(HMIXER mixer) {
  {
    std::lock_guard lock(gHandlesMutex);
    if (gOpenHandles.erase(mixer) == 0) return MMSYSERR_INVALHANDLE;
  }
  delete mixer;  // ends the connection
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetID(HMIXEROBJ object, UINT* mixerId, DWORD flags) {
  if (auto fault = kaze::platform::CheckFault("mixerGetID")) return static_cast<MMRESULT>(*fault);
  MMRESULT error = MMSYSERR_NOERROR;
  if (Resolve(object, flags, error).backend == nullptr) return error;
  if (mixerId == nullptr) return MMSYSERR_INVALPARAM;
  *mixerId = 0;
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineInfoA(HMIXEROBJ object, LPMIXERLINEA line, DWORD flags) {
  if (auto fault = kaze::platform::CheckFault("mixerGetLineInfo")) return static_cast<MMRESULT>(*fault);
  MMRESULT error = MMSYSERR_NOERROR;
  Connection connection = Resolve(object, flags, error);
  MixerBackend* backend = connection.backend;
  if (backend == nullptr) return error;
  if (line == nullptr || line->cbStruct < sizeof(MIXERLINEA)) return MMSYSERR_INVALPARAM;
  const auto& destinations = backend->Destinations();
  FoundLine found;
  switch (flags & MIXER_GETLINEINFOF_QUERYMASK) {
    case MIXER_GETLINEINFOF_DESTINATION:
      if (line->dwDestination < destinations.size()) {
        const MixerLineInfo& destination = destinations[line->dwDestination];
        found = {&destination, line->dwDestination, 0, false, static_cast<DWORD>(destination.sources.size())};
      }
      break;
    case MIXER_GETLINEINFOF_SOURCE:
      if (line->dwDestination < destinations.size() &&
          line->dwSource < destinations[line->dwDestination].sources.size()) {
        found = {&destinations[line->dwDestination].sources[line->dwSource], line->dwDestination, line->dwSource, true,
                 0};
      }
      break;
    case MIXER_GETLINEINFOF_LINEID:
      found = FindLineById(*backend, line->dwLineID);
      break;
    default:
      return MMSYSERR_NOTSUPPORTED;
  }
  if (found.line == nullptr) return MIXERR_INVALLINE;
  FillLine(*backend, found, *line);
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetLineControlsA(HMIXEROBJ object, LPMIXERLINECONTROLSA controls, DWORD flags) {
  if (auto fault = kaze::platform::CheckFault("mixerGetLineControls")) return static_cast<MMRESULT>(*fault);
  MMRESULT error = MMSYSERR_NOERROR;
  Connection connection = Resolve(object, flags, error);
  MixerBackend* backend = connection.backend;
  if (backend == nullptr) return error;
  if ((flags & MIXER_GETLINECONTROLSF_QUERYMASK) != MIXER_GETLINECONTROLSF_ALL) return MMSYSERR_NOTSUPPORTED;
  if (controls == nullptr || controls->cbStruct < sizeof(MIXERLINECONTROLSA) ||
      controls->cbmxctrl < sizeof(MIXERCONTROLA) || controls->pamxctrl == nullptr) {
    return MMSYSERR_INVALPARAM;
  }
  FoundLine found = FindLineById(*backend, controls->dwLineID);
  if (found.line == nullptr) return MIXERR_INVALLINE;
  if (controls->cControls != found.line->controls.size()) return MMSYSERR_INVALPARAM;
  auto* at = reinterpret_cast<uint8_t*>(controls->pamxctrl);
  for (const MixerControlInfo& control : found.line->controls) {
    FillControl(control, *reinterpret_cast<MIXERCONTROLA*>(at));
    at += controls->cbmxctrl;
  }
  return MMSYSERR_NOERROR;
}

MMRESULT mixerGetControlDetailsA(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
  if (auto fault = kaze::platform::CheckFault("mixerGetControlDetails")) return static_cast<MMRESULT>(*fault);
  MMRESULT error = MMSYSERR_NOERROR;
  Connection connection = Resolve(object, flags, error);
  MixerBackend* backend = connection.backend;
  if (backend == nullptr) return error;
  size_t count = ValueCount(*backend, details, flags, error);
  if (count == 0) return error;
  std::vector<DWORD> values(count, 0);
  DWORD items = std::max<DWORD>(details->cMultipleItems, 1);
  if (!backend->ReadValues(details->dwControlID, details->cChannels, items, values)) return MMSYSERR_ERROR;
  auto* out = static_cast<MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
  for (size_t i = 0; i < count; ++i) out[i].dwValue = values[i];
  return MMSYSERR_NOERROR;
}

MMRESULT mixerSetControlDetails(HMIXEROBJ object, LPMIXERCONTROLDETAILS details, DWORD flags) {
  if (auto fault = kaze::platform::CheckFault("mixerSetControlDetails")) return static_cast<MMRESULT>(*fault);
  MMRESULT error = MMSYSERR_NOERROR;
  Connection connection = Resolve(object, flags, error);
  MixerBackend* backend = connection.backend;
  if (backend == nullptr) return error;
  size_t count = ValueCount(*backend, details, flags, error);
  if (count == 0) return error;
  const auto* in = static_cast<const MIXERCONTROLDETAILS_UNSIGNED*>(details->paDetails);
  std::vector<DWORD> values(count);
  for (size_t i = 0; i < count; ++i) values[i] = in[i].dwValue;
  DWORD items = std::max<DWORD>(details->cMultipleItems, 1);
  return backend->WriteValues(details->dwControlID, details->cChannels, items, values) ? MMSYSERR_NOERROR
                                                                                       : MMSYSERR_ERROR;
}
