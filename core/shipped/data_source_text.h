// The citation the data-source window shows, line by line; the web page
// names the source with the same lines.
#pragma once

namespace yex::data_source {

constexpr const char* kHeading = "Data from";
constexpr const char* kTitle1 = "Atomic form factors, incoherent scattering functions,";
constexpr const char* kTitle2 = "and photon scattering cross sections";
constexpr const char* kAuthors = "J. H. Hubbell, Wm. J. Veigele, E. A. Briggs, et al.";
constexpr const char* kJournal = "Journal of Physical and Chemical reference Data";
constexpr const char* kVolume = "4 (3), 471 - 538, (1975)";

}  // namespace yex::data_source
