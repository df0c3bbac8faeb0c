// The new-object dialog: fields from the class's attributes, accepted values written into the object.
// SPDX-License-Identifier: Apache-2.0
#include "EmbeddedIntegrationStore.h"

#include "EmbeddedObject.h"

namespace quendra::embedded {

namespace {

class EmbeddedNewObjectDialog : public CvNewObjectDialog {
public:
    explicit EmbeddedNewObjectDialog(Context context) : context_(std::move(context)) {}
    void Show(const Ptr<CvObject>& object, const Ptr<CvObject>&, bool, bool& accepted) override try {
        auto operation = context_->storage->Call(CvOperation::CvNewObjectDialog_Show);
        EmbeddedObject& target = Own(object);
        const ClassInfo& cls = target.Info();
        const RecordData& data = *target.Values();
        std::vector<NewObjectField> fields;
        for (const auto& attribute : cls.attributes) {
            if (attribute.system) continue;
            NewObjectField field;
            field.name = attribute.name;
            field.displayName = attribute.display;
            field.typeCode = attribute.type;
            field.mandatory = attribute.mandatory;
            if (const LookupInfo* lookup = context_->storage->GetModel().Lookup(attribute.lookupId))
                for (const auto& [code, text] : lookup->entries) field.lookup.emplace_back(text, code);
            if (data.Has(attribute.name)) field.value = data.Get(attribute.name);
            fields.push_back(std::move(field));
        }
        accepted = context_->dialogs->RunNewObjectDialog(cls.name, fields);
        if (!accepted) return;
        RecordData& values = *target.Values();
        for (const auto& field : fields) values.Set(field.name, field.value);
    } catch (...) {
        context_->storage->Failed();
    }

private:
    Context context_;
};

} // namespace

Ptr<CvNewObjectDialog> EmbeddedIntegrationStore::NewObjectDialog() try {
    auto operation = context_->storage->Call(CvOperation::CvIntegrationStore_NewObjectDialog);
    return std::make_shared<EmbeddedNewObjectDialog>(context_);
} catch (...) {
    context_->storage->Failed();
}

} // namespace quendra::embedded
