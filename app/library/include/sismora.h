/* libsismora: the record side of Sismora behind a flat C interface. It reads every record
 * format the program reads, preprocesses records and computes their ground-motion metrics,
 * and never shows anything to a user: what a reader would ask is given as options.
 *
 * Units are centimetres and seconds: samples in cm/s/s, steps in s.
 *
 * Options are text of "key=value" lines (or separated by ';'). Texts returned by the library
 * are owned by the record and stay valid until the next call on the same record or its
 * release. Different records may be used from different threads at the same time; one record
 * is used by one thread at a time. */
#ifndef SISMORA_H
#define SISMORA_H

#include <stdint.h>

#if defined(SISMORA_BUILDING) && defined(__GNUC__)
#define SISMORA_API __attribute__((visibility("default")))
#else
#define SISMORA_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct sismora_record sismora_record;

/* The library's version, "1.0". */
SISMORA_API const char* sismora_version(void);

/* Reads the record file `path`. Options:
 *   station=NET.STA.LOC[.BAND]  band=HN     which station of a seismometer set to open
 *   stationxml=PATH                         the response of counts (default: the one beside)
 *   differentiate=yes|no                    velocity channels into acceleration (default no)
 *   skip=, count=, rate=, channels=, coef=, start=, width=, columns=, label_line=yes,
 *   neglect_first=yes                       the layout of a general data or CSV file (default:
 *                                           the guessed layout)
 * Returns a record, also when the file could not be read (then sismora_error says why); NULL
 * only when memory ran out. */
SISMORA_API sismora_record* sismora_open(const char* path, const char* options);

/* Empty when the last call on the record succeeded, else the program's message. */
SISMORA_API const char* sismora_error(const sismora_record* rec);

/* Channels, samples per channel, sampling rate (Hz) and step (s); 0 for a record not read. */
SISMORA_API int32_t sismora_channel_count(const sismora_record* rec);
SISMORA_API int32_t sismora_sample_count(const sismora_record* rec);
SISMORA_API int32_t sismora_rate(const sismora_record* rec);
SISMORA_API float sismora_dt(const sismora_record* rec);

/* Copies channel `channel` (1-based) into out[0..capacity): the samples copied, in cm/s/s. */
SISMORA_API int32_t sismora_samples(const sismora_record* rec, int32_t channel, float* out, int32_t capacity);
/* Copies every channel one after the other (channel count x sample count floats). */
SISMORA_API int32_t sismora_all_samples(const sismora_record* rec, float* out, int64_t capacity);

/* The header as "key=value" lines: format, path, start (ISO 8601), utc_offset (of the times,
 * where the format states it), station.code, station.name, station.latitude,
 * station.longitude, station.network, station.location, station.elevation (m), event.id,
 * event.origin_time, event.latitude, event.longitude, event.depth_km, event.magnitude,
 * event.magnitude_type, channel.N.label, channel.N.azimuth, channel.N.code, channel.N.peak,
 * provenance.*, ... Keys a record has no value for are left out. */
SISMORA_API const char* sismora_metadata(sismora_record* rec);

/* Applies the preprocessing chain (defaults: the program's, the mean of the first second
 * removed). Options: skip_seconds=, length=, rotate=none|north|DEGREES, multipliers=1:1:0.5,
 * remove_offset=SECONDS (0: off), meter=yes, low_cut=HZ, high_cut=HZ,
 * filter=fft|butterworth|butterworth_zero_phase, order=, keep_pad=yes, sensor=N.
 * 1 when done, 0 with sismora_error set. */
SISMORA_API int32_t sismora_preprocess(sismora_record* rec, const char* options);

/* Runs the automatic processing chain (checks, P-wave onset, signal-to-noise ratio and
 * corners, zero-phase band-pass and polynomial baseline, checks after) on a copy of the
 * record; `rec` itself is left as it is. Options are the parameters of settings section
 * "Processing", named by their keys in any case, with or without '_' between the words
 * (min_samples=, snr_threshold=, filter_order=, raise_high_pass=yes|no, reject_on_flag=0|1,
 * ...); the rest keep the program's defaults.
 * Returns the processed record, a new one to release with sismora_free, also when the chain
 * rejected the record: then its samples are as the chain left them and the provenance says
 * so. *provenance (when not NULL) is set to the provenance as one JSON document (status,
 * onset, corners per channel, flags, steps), owned by the new record until it is released.
 * NULL, with sismora_error(rec) set, when an option does not read or rec holds no record. */
SISMORA_API sismora_record* sismora_process(sismora_record* rec, const char* options, const char** provenance);

/* The ground-motion metrics as the flatfile row: "column=value" lines in the flatfile's
 * column order. Options: periods=0.1,0.2,... (s), damping=PERCENT, steps=N (sub-steps of the
 * response maxima; default 32, 0: at the samples), level=CM/S/S,
 * ductilities=2,4, file=NAME (the file column; default the path as opened). NULL with
 * sismora_error set when they cannot be computed. */
SISMORA_API const char* sismora_metrics(sismora_record* rec, const char* options);

/* The record files under `folder` (walked recursively; a file is taken as it is), one a line in
 * path order, the other files of a set left out, as the flatfile tool lists them. Writes up to
 * `capacity` bytes with the final NUL and returns the length the whole list needs without it:
 * call again with a larger buffer when that is not below `capacity`. */
SISMORA_API int64_t sismora_list_records(const char* folder, char* out, int64_t capacity);

/* Releases the record; NULL is ignored. */
SISMORA_API void sismora_free(sismora_record* rec);

#ifdef __cplusplus
}
#endif

#endif
