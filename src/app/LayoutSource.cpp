#include "app/LayoutSource.h"

namespace quillon {

bool readLayoutSource(const std::string& path, int cellLength, LayoutSource& out,
                      std::vector<std::string>& errors) {
    std::string text, problem;
    if (!readFileText(path, text, problem)) {
        errors.push_back(path + ": " + problem);
        return false;
    }
    out = LayoutSource{};
    if (!isRocrailPlan(text)) {
        std::vector<LayoutError> found;
        if (loadLayout(text, out.track, found, &out.positions))
            return true;
        for (const LayoutError& error : found)
            errors.push_back(describeLayoutError(path, error));
        return false;
    }
    PlanImport plan;
    const bool imported = importPlan(text, PlanOptions{cellLength}, plan);
    for (const PlanProblem& found : plan.problems)
        (found.warning ? out.warnings : errors).push_back(describePlanProblem(path, found));
    if (!imported)
        return false;
    out.track = std::move(plan.track);
    out.placements = std::move(plan.placements);
    return true;
}

} // namespace quillon
