#pragma once

#include <string>
#include <vector>

namespace zentrix {

class Catalogue;
class TTreeNode;

/// Where the catalogue of a branch differs from the disk now: for every logged
/// directory of the branch, each file the disk has and the catalogue lacks (or
/// has with another size, time or attribute word), each file the catalogue has
/// and the disk lacks, and the same for subdirectories (hidden ones only when
/// `hiddenDirs`). One line per difference, with the path; empty when they agree.
std::vector<std::string> DiskAudit(const Catalogue& catalogue, const TTreeNode* branch,
                                   bool hiddenDirs);

} // namespace zentrix
